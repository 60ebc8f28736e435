#pragma once

#include <QTextDocument>
#include <QWidget>

// The help mark-up as Qt rich text. Tags in any letter case, a closing tag
// matching its opening tag whatever the case of either:
//   <B>..</B>              bold
//   <BC:#RRGGBB>..</BC>    background colour
//   <SUB>..</SUB>          subscript
//   <BR>                   line break
//   <LINE:width=N>, <LINE:width=full>   horizontal rule, N pixels or full width
//   <div:params>..</div>   framed block; params, comma-separated, in pixels:
//                          thick (all sides), thick_top, thick_left,
//                          thick_bottom, lncolor=#RRGGBB,
//                          margin, pad_top
// Anything else, an unknown tag included, is shown as written. Closing tags
// without an opening are dropped and open tags are closed at the end, so the
// result is always well formed.
QString HelpMarkupToHtml(const QString& markup);

// A word-wrapped label that shows text in the help mark-up; what does not fit
// its height is cut off.
class TDzHTMLText : public QWidget {
    Q_OBJECT
public:
    explicit TDzHTMLText(QWidget* parent = nullptr);

    const QString& Text() const { return text; }
    void SetText(const QString& markup);
    // The rendered text, laid out at the label's width.
    const QTextDocument& Document() const { return document; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString text;
    QTextDocument document;
};
