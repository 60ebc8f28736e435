#include "ui/widgets/RtColorPickCombo.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int SwatchSize = 14;

QIcon Swatch(TRtColor color)
{
    QPixmap pixmap(SwatchSize, SwatchSize);
    // A checkerboard under the colour shows its transparency.
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.fillRect(0, 0, SwatchSize / 2, SwatchSize / 2, Qt::lightGray);
    painter.fillRect(SwatchSize / 2, SwatchSize / 2, SwatchSize / 2, SwatchSize / 2, Qt::lightGray);
    painter.fillRect(pixmap.rect(), QColor::fromRgba(color));
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, SwatchSize - 1, SwatchSize - 1);
    return QIcon(pixmap);
}

QString ColorName(TRtColor color)
{
    return QStringLiteral("#%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

TRtColorPickCombo::TRtColorPickCombo(QWidget* parent)
    : QWidget(parent)
    , list(new QComboBox(this))
    , other(new QPushButton(QStringLiteral("&Other colors..."), this))
{
    list->setObjectName(QStringLiteral("ColorList"));
    other->setObjectName(QStringLiteral("OtherColors"));
    const struct { TRtColor color; const char* name; } named[] = {
        {clRtRed, "Red"}, {clRtGreen, "Green"}, {clRtBlue, "Blue"}, {clRtAqua, "Aqua"}, {clRtPurple, "Purple"},
        {clRtBrown, "Brown"}, {0xFFFF00FF, "Fuchsia"}, {0xFFFFA500, "Orange"},
        {0xFF808000, "Olive"}, {0xFF000080, "Navy"}, {0xFF808080, "Gray"}, {clRtBlack, "Black"},
    };
    for (const auto& entry : named)
        AddColor(entry.color, QString::fromLatin1(entry.name));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list, 1);
    layout->addWidget(other);
    connect(list, &QComboBox::activated, this, [this](int index) {
        SetActiveColor(list->itemData(index).toUInt());
    });
    connect(other, &QPushButton::clicked, this, &TRtColorPickCombo::OtherColors);
}

int TRtColorPickCombo::IndexOf(TRtColor color) const
{
    return list->findData(color);
}

void TRtColorPickCombo::AddColor(TRtColor color, const QString& name)
{
    list->addItem(Swatch(color), name, color);
}

void TRtColorPickCombo::SetActiveColor(TRtColor color)
{
    activeColor = color;
    if (IndexOf(color) < 0)
        AddColor(color, ColorName(color));
    list->setCurrentIndex(IndexOf(color));
    emit Changed();
}

quint32 TRtColorPickCombo::AsTColor() const
{
    const QColor color = QColor::fromRgba(activeColor);
    return quint32(color.blue()) * 65536 + quint32(color.green()) * 256 + quint32(color.red());
}

void TRtColorPickCombo::OtherColors()
{
    const QColor chosen = QColorDialog::getColor(QColor::fromRgba(activeColor), this, QStringLiteral("Tune Colors"),
                                                 QColorDialog::ShowAlphaChannel);
    if (chosen.isValid())
        SetActiveColor(chosen.rgba());
}
