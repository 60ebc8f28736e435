#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;
class TDzHTMLText;

// Shows in the help panel the text for the control under the pointer, as
// the pointer moves; remembers the last control's name.
//
// A control is a widget with a name of its own; unnamed widgets and Qt's
// internal parts (viewports, tab bars) count as part of the control they sit
// in. A control shows help only when attached; moving over a control that is
// not attached (a slider, a drop-down list) leaves the panel as it was.
class TContextHelp : public QObject {
    Q_OBJECT
public:
    explicit TContextHelp(TDzHTMLText* panel, QObject* parent = nullptr);

    const QString& MouseOverName() const { return mouseOverName; }

    // Attaches every control in and below `root` of a kind that reports
    // pointer movement: labels, edits, memos, lists, group boxes, panels,
    // tab pages and their page control, push buttons, scroll boxes, the
    // graph and the help panel. Drop-down lists, sliders, radio groups, the
    // colour picker, splitters and lamps do not report it.
    void AttachAll(QWidget* root);
    void Attach(QWidget* control);
    // Runs `handler` when the pointer enters `control`.
    void AttachOnEnter(QWidget* control, std::function<void()> handler);

    // Remembers the sender's name and shows the text for its help key.
    void ShowHelp(const QObject* sender);
    // Shows a text without changing the remembered name.
    void ShowText(const QString& markup);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QWidget* widget, QWidget* control);
    bool PointerOnInnerControl(QWidget* watched, QWidget* control, const QPointF& position) const;

    TDzHTMLText* panel;
    QString mouseOverName;
    QHash<const QObject*, QWidget*> controlOf;
    QHash<const QObject*, std::function<void()>> enterHandlers;
};
