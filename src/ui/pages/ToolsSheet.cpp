#include "ui/pages/ToolsSheet.h"

#include "ui/Named.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

constexpr int MinPrimeLoops = 1;
constexpr int MaxPrimeLoops = 10;

} // namespace

QString TToolsSheet::ExplanationText()
{
    return QStringLiteral("These tools apply only to one device at a time. \n"
                          "\n"
                          "Furthermore, using these will make the device and the software <B>unresponsive</B> until "
                          "the commanded task finishes, so these tools are not to be used under normal situations i.e. "
                          "when segment programs are performing.\n"
                          "\n"
                          "Instead, use only in a dedicated situation, for setup, maintenance, configuration, "
                          "debugging or testing.");
}

TToolsSheet::TToolsSheet(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheetTools"));
    BitBtn11 = Named(new QPushButton(QStringLiteral("Initialize selected device")), "BitBtn11");
    RtIntegerEditPrimePumpLoops = Named(new QSpinBox, "RtIntegerEditPrimePumpLoops");
    RtIntegerEditPrimePumpLoops->setRange(MinPrimeLoops, MaxPrimeLoops);
    RtIntegerEditPrimePumpLoops->setValue(MinPrimeLoops);
    BitBtn10 = Named(new QPushButton(QStringLiteral("Start pump priming loops")), "BitBtn10");
    BitBtn9 = Named(new QPushButton(QStringLiteral("Change pump syringe")), "BitBtn9");
    DzHTMLText1 = Named(new QLabel, "DzHTMLText1");
    DzHTMLText1->setTextFormat(Qt::RichText);
    DzHTMLText1->setWordWrap(true);
    // The mark-up's bold tags are Qt's too; only the line breaks differ.
    DzHTMLText1->setText(ExplanationText().replace(QLatin1Char('\n'), QLatin1String("<br>")));

    auto* prime = Named(new QGroupBox(QStringLiteral("Prime pump")), "GroupBoxDeviceTools");
    auto* primeLayout = new QHBoxLayout(prime);
    primeLayout->addWidget(Named(new QLabel(QStringLiteral("Loops")), "Label9"));
    primeLayout->addWidget(RtIntegerEditPrimePumpLoops);
    primeLayout->addWidget(BitBtn10);
    primeLayout->addStretch();

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BitBtn11);
    buttons->addWidget(prime);
    buttons->addWidget(BitBtn9);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(DzHTMLText1, 1, Qt::AlignTop);

    connect(BitBtn11, &QPushButton::clicked, this, &TToolsSheet::InitializeClicked);
    connect(BitBtn10, &QPushButton::clicked, this, &TToolsSheet::PrimePumpClicked);
    connect(BitBtn9, &QPushButton::clicked, this, &TToolsSheet::ChangeSyringeClicked);
}

int TToolsSheet::PrimePumpLoops() const
{
    return RtIntegerEditPrimePumpLoops->value();
}
