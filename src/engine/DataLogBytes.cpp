#include "engine/DataLogBytes.h"

#include "base/TextEncoding.h"
#include "base/TextHelpers.h"

namespace {

constexpr qsizetype BlockBytes = 1 << 20;

bool HasLineBreak(const QString& line)
{
    return line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r'));
}

// A line with a line after it: the separator may complete a CR at its end.
QByteArray InnerLineBytes(const QString& line)
{
    if (HasLineBreak(line))
        return TextFileBytes(line + QLatin1Char('\n'));
    return EncodeCp1252(line) + "\r\n";
}

// The table's last line: a final line break adds no empty line, and an empty
// last line after others is only the previous line's end.
QByteArray LastLineBytes(const QString& line, qsizetype lineCount)
{
    if (lineCount > 1 && line.isEmpty())
        return {};
    if (HasLineBreak(line))
        return TextFileBytes(line);
    return EncodeCp1252(line) + "\r\n";
}

} // namespace

void TDataLogBytes::Append(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (lineCount > 0)
            Seal(InnerLineBytes(lastLine));
        lastLine = line;
        ++lineCount;
        if (blank && !TrimControl(line).isEmpty())
            blank = false;
    }
}

void TDataLogBytes::Seal(const QByteArray& bytes)
{
    if (openBlock.isEmpty())
        openBlock.reserve(BlockBytes);
    openBlock += bytes;
    if (openBlock.size() >= BlockBytes) {
        sealedBlocks << openBlock;
        openBlock.clear();
    }
}

QList<QByteArray> TDataLogBytes::Snapshot() const
{
    QList<QByteArray> parts = sealedBlocks;
    parts << QByteArray(openBlock.constData(), openBlock.size());
    if (lineCount > 0)
        parts << LastLineBytes(lastLine, lineCount);
    return parts;
}
