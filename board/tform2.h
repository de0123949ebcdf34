#pragma once
// The clear-results dialog: delete the averages with or without the best
// times, or cancel. Every way of closing it reports Accepted; Choice() says
// what the user picked.
#include <QDialog>

class QLabel;
class QPushButton;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    enum class Choice { Cancel, DeleteAvgsAndBests, DeleteOnlyAvgs };

    explicit TForm2(QWidget* parent = nullptr);

    // Texts in the interface language, Cancel focused, the choice reset.
    void Prepare(bool russian);
    void CentreOn(const QWidget* mainWindow);
    Choice ChosenAction() const { return choice_; }

    QLabel* StaticText1 = nullptr;
    QPushButton* BitBtn1 = nullptr;   // delete averages and bests
    QPushButton* BitBtn2 = nullptr;   // delete only averages
    QPushButton* BitBtn3 = nullptr;   // cancel

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

public slots:
    // Esc and the title-bar button close the dialog like Cancel, still with
    // the result Accepted.
    void reject() override;

private:
    void BuildControls();
    QPushButton* MakeButton(const char* name, const QRect& bounds);
    Choice choice_ = Choice::Cancel;
};
