#include "engine/DataLogBytes.h"

#include "base/TextEncoding.h"
#include "base/TextHelpers.h"

#include <algorithm>

namespace {

constexpr qsizetype BlockBytes = 1 << 20;
const QByteArray LineEnd("\r\n");

bool HasLineBreak(const QString& line)
{
    return line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r'));
}

// The table's last line: a final line break adds no empty line, and an empty
// last line after others is only the previous line's end.
QByteArray LastLineBytes(const QString& line, qsizetype lineCount)
{
    if (lineCount > 1 && line.isEmpty())
        return {};
    if (HasLineBreak(line))
        return TextFileBytes(line);
    return EncodeCp1252(line) + LineEnd;
}

} // namespace

void TDataLogBytes::Append(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (lineCount > 0)
            Seal(lastLine);
        lastLine = line;
        ++lineCount;
        if (blank && !TrimControl(line).isEmpty())
            blank = false;
    }
}

void TDataLogBytes::Seal(const QString& line)
{
    QByteArray bytes;
    if (HasLineBreak(line)) {
        // With a line after it: the separator may complete a CR at its end.
        bytes = TextFileBytes(line + QLatin1Char('\n'));
        unusualLines.insert(places.size(), line);
    } else {
        bytes = EncodeCp1252(line);
        if (DecodeCp1252(bytes) != line)
            unusualLines.insert(places.size(), line);
        bytes += LineEnd;
    }
    // A line stays within its block, so that it can be read back in one piece.
    if (!openBlock.isEmpty() && openBlock.size() + bytes.size() > BlockBytes) {
        sealedBlocks << openBlock;
        openBlock.clear();
    }
    if (openBlock.isEmpty())
        openBlock.reserve(std::max(BlockBytes, bytes.size()));
    places << Place{qint32(sealedBlocks.size()), qint32(openBlock.size())};
    openBlock += bytes;
}

QList<QByteArray> TDataLogBytes::Snapshot() const
{
    QList<QByteArray> parts = sealedBlocks;
    parts << QByteArray(openBlock.constData(), openBlock.size());
    if (lineCount > 0)
        parts << LastLineBytes(lastLine, lineCount);
    return parts;
}

QString TDataLogBytes::Line(qsizetype index) const
{
    if (index < 0 || index >= lineCount)
        return {};
    if (index == lineCount - 1)
        return lastLine;
    const auto unusual = unusualLines.constFind(index);
    if (unusual != unusualLines.constEnd())
        return *unusual;
    const Place place = places.at(index);
    const QByteArray& block = place.block < sealedBlocks.size() ? sealedBlocks.at(place.block) : openBlock;
    const bool lastInBlock = index + 1 == places.size() || places.at(index + 1).block != place.block;
    const qsizetype end = lastInBlock ? block.size() : places.at(index + 1).offset;
    return DecodeCp1252(QByteArray::fromRawData(block.constData() + place.offset, end - place.offset - LineEnd.size()));
}
