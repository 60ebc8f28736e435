#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QSpinBox;

// The Tools page: one-off operations on the focused device (initialise an
// MFC, prime the pump in loops, move the pump for a syringe change), with the
// text that says when they are meant to be used. The buttons come out as
// signals.
class TToolsSheet : public QWidget {
    Q_OBJECT
public:
    explicit TToolsSheet(QWidget* parent = nullptr);

    // The number of priming loops, 1 to 10.
    int PrimePumpLoops() const;

    // The explanation, in the page's mark-up ("<B>" ... "</B>" for bold).
    static QString ExplanationText();

signals:
    void InitializeClicked();
    void PrimePumpClicked();
    void ChangeSyringeClicked();

private:
    QPushButton* BitBtn11 = nullptr;
    QSpinBox* RtIntegerEditPrimePumpLoops = nullptr;
    QPushButton* BitBtn10 = nullptr;
    QPushButton* BitBtn9 = nullptr;
    QLabel* DzHTMLText1 = nullptr;
};
