#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TMixtureRecipeView;
class TRtDoubleEdit;

// The Mixtures page: a recipe of devices and setpoints, the mixture they
// deliver together, and "Add" to write the recipe as segments into the
// devices' programs.
class TMixturesSheet : public QWidget {
    Q_OBJECT
public:
    explicit TMixturesSheet(QWidget* parent = nullptr);

    // The window that logs and shows what "Add" changes (not owned).
    void SetRecipeView(TMixtureRecipeView* view) { recipeView = view; }
    void SetTimeUnitSuffix(const QString& suffix);
    // Whether the last evaluation parsed cleanly; false until the first edit.
    bool RecipeValid() const { return recipeValid; }

    void MemoMixRecipeChange();
    void ButtonMixSegmentsAddClick();

private:
    QPlainTextEdit* MemoMixRecipe = nullptr;
    QLineEdit* EditMixtureName = nullptr;
    QPlainTextEdit* MemoMixResult = nullptr;
    QLabel* LabelMixSegmentsTime = nullptr;
    TRtDoubleEdit* RtDoubleEditMixSegmentsAddTime = nullptr;
    QLineEdit* EditNoteMixture = nullptr;
    QPushButton* ButtonMixSegmentsAdd = nullptr;

    TMixtureRecipeView* recipeView = nullptr;
    bool recipeValid = false;
};
