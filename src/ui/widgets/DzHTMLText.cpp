#include "ui/widgets/DzHTMLText.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStringList>

namespace {

enum class TTag { Bold, Background, Subscript, Frame };

struct TFrameStyle {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    QString color = QStringLiteral("#000000");
    int margin = 0;
    int padTop = 0;
};

bool IsColour(const QString& text)
{
    static const QRegularExpression hexColour(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    return hexColour.match(text).hasMatch();
}

TFrameStyle ParseFrame(const QString& parameters)
{
    TFrameStyle frame;
    for (const QString& parameter : parameters.split(QLatin1Char(','))) {
        const QString name = parameter.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        const QString value = parameter.section(QLatin1Char('='), 1).trimmed();
        bool isNumber = false;
        const int pixels = qMax(0, value.toInt(&isNumber));
        if (name == QLatin1String("lncolor")) {
            if (IsColour(value))
                frame.color = value;
            continue;
        }
        if (!isNumber)
            continue;
        if (name == QLatin1String("thick"))
            frame.top = frame.left = frame.bottom = frame.right = pixels;
        else if (name == QLatin1String("thick_top"))
            frame.top = pixels;
        else if (name == QLatin1String("thick_left"))
            frame.left = pixels;
        else if (name == QLatin1String("thick_bottom"))
            frame.bottom = pixels;
        else if (name == QLatin1String("margin"))
            frame.margin = pixels;
        else if (name == QLatin1String("pad_top"))
            frame.padTop = pixels;
    }
    return frame;
}

// A framed block is a table of one cell: Qt's rich text draws borders per
// side only on table cells.
QString FrameOpening(const TFrameStyle& frame)
{
    const auto side = [&frame](const char* name, int width) {
        if (width == 0)
            return QStringLiteral("border-%1-style: none; ").arg(QLatin1String(name));
        return QStringLiteral("border-%1-width: %2px; border-%1-style: solid; border-%1-color: %3; ")
            .arg(QLatin1String(name))
            .arg(width)
            .arg(frame.color);
    };
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\" style=\"margin: %1px; border-style: none;\">"
                          "<tr><td style=\"%2%3%4%5padding-top: %6px;\">")
        .arg(frame.margin)
        .arg(side("top", frame.top), side("left", frame.left), side("bottom", frame.bottom),
             side("right", frame.right))
        .arg(frame.padTop);
}

QString Closing(TTag tag)
{
    switch (tag) {
    case TTag::Bold: return QStringLiteral("</b>");
    case TTag::Background: return QStringLiteral("</span>");
    case TTag::Subscript: return QStringLiteral("</sub>");
    case TTag::Frame: return QStringLiteral("</td></tr></table>");
    }
    return {};
}

bool ClosingTagOf(const QString& name, TTag& tag)
{
    if (name == QLatin1String("b"))
        tag = TTag::Bold;
    else if (name == QLatin1String("bc"))
        tag = TTag::Background;
    else if (name == QLatin1String("sub"))
        tag = TTag::Subscript;
    else if (name == QLatin1String("div"))
        tag = TTag::Frame;
    else
        return false;
    return true;
}

class THtmlWriter {
public:
    QString html;

    void Open(TTag tag, const QString& opening)
    {
        html += opening;
        open.append(tag);
    }

    // Closes the innermost open tag of this kind and those opened inside it.
    bool Close(TTag tag)
    {
        const qsizetype at = open.lastIndexOf(tag);
        if (at < 0)
            return false;
        while (open.size() > at)
            html += Closing(open.takeLast());
        return true;
    }

    void CloseAll()
    {
        while (!open.isEmpty())
            html += Closing(open.takeLast());
    }

private:
    QList<TTag> open;
};

// Handles one tag; false when it is no tag of the mark-up.
bool WriteTag(THtmlWriter& writer, const QString& name, bool closing, bool hasParameter, const QString& parameter)
{
    if (closing) {
        TTag tag;
        if (hasParameter || !ClosingTagOf(name, tag))
            return false;
        writer.Close(tag); // a stray closing tag is dropped
        return true;
    }
    if (!hasParameter) {
        if (name == QLatin1String("b"))
            writer.Open(TTag::Bold, QStringLiteral("<b>"));
        else if (name == QLatin1String("sub"))
            writer.Open(TTag::Subscript, QStringLiteral("<sub>"));
        else if (name == QLatin1String("br"))
            writer.html += QStringLiteral("<br/>");
        else
            return false;
        return true;
    }
    if (name == QLatin1String("bc")) {
        if (!IsColour(parameter))
            return false;
        writer.Open(TTag::Background, QStringLiteral("<span style=\"background-color: %1;\">").arg(parameter));
        return true;
    }
    if (name == QLatin1String("line")) {
        const QString width = parameter.section(QLatin1Char('='), 1).trimmed();
        if (parameter.section(QLatin1Char('='), 0, 0).trimmed().toLower() != QLatin1String("width"))
            return false;
        bool isNumber = false;
        const int pixels = width.toInt(&isNumber);
        if (width.compare(QLatin1String("full"), Qt::CaseInsensitive) == 0)
            writer.html += QStringLiteral("<hr/>");
        else if (isNumber && pixels > 0)
            writer.html += QStringLiteral("<hr width=\"%1\"/>").arg(pixels);
        else
            return false;
        return true;
    }
    if (name == QLatin1String("div")) {
        writer.Open(TTag::Frame, FrameOpening(ParseFrame(parameter)));
        return true;
    }
    return false;
}

} // namespace

QString HelpMarkupToHtml(const QString& markup)
{
    static const QRegularExpression tagPattern(QStringLiteral("<(/?)([A-Za-z]+)(:([^<>]*))?>"));
    THtmlWriter writer;
    qsizetype done = 0;
    for (auto it = tagPattern.globalMatch(markup); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        writer.html += markup.mid(done, match.capturedStart() - done).toHtmlEscaped();
        done = match.capturedEnd();
        if (!WriteTag(writer, match.captured(2).toLower(), !match.captured(1).isEmpty(), match.hasCaptured(3),
                      match.captured(4)))
            writer.html += match.captured().toHtmlEscaped();
    }
    writer.html += markup.mid(done).toHtmlEscaped();
    writer.CloseAll();
    return writer.html;
}

TDzHTMLText::TDzHTMLText(QWidget* parent)
    : QWidget(parent)
{
    document.setDocumentMargin(0);
    document.setDefaultFont(font());
}

void TDzHTMLText::SetText(const QString& markup)
{
    text = markup;
    document.setHtml(HelpMarkupToHtml(markup));
    document.setTextWidth(width());
    update();
}

void TDzHTMLText::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    document.drawContents(&painter, rect());
}

void TDzHTMLText::resizeEvent(QResizeEvent* event)
{
    document.setTextWidth(width());
    QWidget::resizeEvent(event);
}
