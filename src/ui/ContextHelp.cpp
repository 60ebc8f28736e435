#include "ui/ContextHelp.h"

#include "ui/HelpTexts.h"
#include "ui/widgets/DzHTMLText.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>

namespace {

bool IsControl(const QWidget* widget)
{
    const QString& name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// Controls that report no pointer movement, with everything inside them.
bool IsSilent(const QWidget* widget)
{
    return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSlider*>(widget)
        || qobject_cast<const QRadioButton*>(widget) || qobject_cast<const QMenuBar*>(widget)
        || qobject_cast<const QMenu*>(widget) || widget->inherits("TRtColorPickCombo") || widget->inherits("ThhALed")
        || widget->objectName().startsWith(QLatin1String("RadioGroup"));
}

} // namespace

TContextHelp::TContextHelp(TDzHTMLText* panel, QObject* parent)
    : QObject(parent)
    , panel(panel)
{
}

void TContextHelp::AttachAll(QWidget* root)
{
    if (IsSilent(root))
        return;
    // A splitter is a frame around panes, not a control of its own.
    if (IsControl(root) && !qobject_cast<QSplitter*>(root))
        Attach(root);
    for (QWidget* child : root->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        AttachAll(child);
}

void TContextHelp::Attach(QWidget* control)
{
    Watch(control, control);
    // The pointer moves over these parts, not over the control itself.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
        Watch(area->viewport(), control);
    if (auto* pages = qobject_cast<QTabWidget*>(control)) {
        if (auto* tabs = pages->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly))
            Watch(tabs, control);
    }
}

void TContextHelp::AttachOnEnter(QWidget* control, std::function<void()> handler)
{
    enterHandlers.insert(control, std::move(handler));
    control->installEventFilter(this);
    connect(control, &QObject::destroyed, this, [this](QObject* gone) { enterHandlers.remove(gone); });
}

void TContextHelp::Watch(QWidget* widget, QWidget* control)
{
    controlOf.insert(widget, control);
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this](QObject* gone) { controlOf.remove(gone); });
}

void TContextHelp::ShowHelp(const QObject* sender)
{
    if (!sender)
        return;
    mouseOverName = sender->objectName();
    panel->SetText(HelpText(HelpKey(mouseOverName)));
}

void TContextHelp::ShowText(const QString& markup)
{
    panel->SetText(markup);
}

// A move that a control inside this one passed on (it ignored the event)
// belongs to that control, not to this one.
bool TContextHelp::PointerOnInnerControl(QWidget* watched, QWidget* control, const QPointF& position) const
{
    for (QWidget* w = watched->childAt(position.toPoint()); w && w != watched; w = w->parentWidget()) {
        if (w != control && IsControl(w))
            return true;
    }
    return false;
}

bool TContextHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* control = controlOf.value(watched);
        if (widget && control
            && !PointerOnInnerControl(widget, control, static_cast<QMouseEvent*>(event)->position()))
            ShowHelp(control);
    } else if (event->type() == QEvent::Enter) {
        const auto handler = enterHandlers.constFind(watched);
        if (handler != enterHandlers.cend())
            (*handler)();
    }
    return QObject::eventFilter(watched, event);
}
