#include "ui/pages/MixturesSheet.h"

#include "engine/MixtureRecipe.h"
#include "ui/Named.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QBoxLayout>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QPlainTextEdit* FixedPitchMemo(const char* name)
{
    auto* memo = Named(new QPlainTextEdit, name);
    memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

} // namespace

TMixturesSheet::TMixturesSheet(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheetMixtures"));
    MemoMixRecipe = FixedPitchMemo("MemoMixRecipe");
    MemoMixRecipe->setPlainText(QStringLiteral("COM6 50"));
    EditMixtureName = Named(new QLineEdit(QStringLiteral("Name")), "EditMixtureName");
    MemoMixResult = FixedPitchMemo("MemoMixResult");
    MemoMixResult->setReadOnly(true);
    LabelMixSegmentsTime = Named(new QLabel, "LabelMixSegmentsTime");
    SetTimeUnitSuffix(QStringLiteral("m"));
    RtDoubleEditMixSegmentsAddTime = Named(new TRtDoubleEdit, "RtDoubleEditMixSegmentsAddTime");
    EditNoteMixture = Named(new QLineEdit, "EditNoteMixture");
    ButtonMixSegmentsAdd = Named(new QPushButton(QStringLiteral("Add")), "ButtonMixSegmentsAdd");

    auto* addGroup = Named(new QGroupBox(QStringLiteral("Add segments")), "GroupBoxMixSegmentsAdd");
    auto* addLayout = new QGridLayout(addGroup);
    addLayout->addWidget(LabelMixSegmentsTime, 0, 0);
    addLayout->addWidget(RtDoubleEditMixSegmentsAddTime, 0, 1);
    addLayout->addWidget(Named(new QLabel(QStringLiteral("Note")), "LabelNoteMixture"), 1, 0);
    addLayout->addWidget(EditNoteMixture, 1, 1);
    addLayout->addWidget(ButtonMixSegmentsAdd, 2, 1);

    auto* recipe = new QVBoxLayout;
    recipe->addWidget(EditMixtureName);
    recipe->addWidget(MemoMixRecipe, 1);
    recipe->addWidget(addGroup);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(recipe, 1);
    layout->addWidget(MemoMixResult, 3);

    connect(MemoMixRecipe, &QPlainTextEdit::textChanged, this, &TMixturesSheet::MemoMixRecipeChange);
    connect(EditMixtureName, &QLineEdit::textChanged, this, &TMixturesSheet::MemoMixRecipeChange);
    connect(ButtonMixSegmentsAdd, &QPushButton::clicked, this, &TMixturesSheet::ButtonMixSegmentsAddClick);
}

void TMixturesSheet::SetTimeUnitSuffix(const QString& suffix)
{
    LabelMixSegmentsTime->setText(QStringLiteral("Time, ") + suffix);
}

void TMixturesSheet::MemoMixRecipeChange()
{
    QString result = EvaluateRecipe(MemoMixRecipe->toPlainText(), EditMixtureName->text(), recipeValid);
    // The memo breaks lines at "\n" alone; a "\r" would show as an extra break.
    MemoMixResult->setPlainText(result.replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void TMixturesSheet::ButtonMixSegmentsAddClick()
{
    if (recipeView)
        AddRecipeSegments(MemoMixRecipe->toPlainText(), recipeValid, RtDoubleEditMixSegmentsAddTime->Value(),
                          EditNoteMixture->text(), *recipeView);
}
