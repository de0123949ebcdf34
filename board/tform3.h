#pragma once
// The hint editor: one line with the algorithm of a case, Save and Cancel.
// exec() returns Accepted only when the user saved.
#include <QDialog>

class QLineEdit;
class QPushButton;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // Title and captions in the interface language, the hint in the field
    // with the focus on it.
    void Prepare(int caseNumber, const QString& hint, bool russian);
    void CentreOn(const QWidget* mainWindow);
    QString EditedText() const;

    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;   // Save
    QPushButton* BitBtn2 = nullptr;   // Cancel

    void BitBtn1Click();              // Save
    void BitBtn2Click();              // Cancel
    // Enter saves and Esc cancels; true when the key was taken.
    bool Edit1KeyPress(QChar character);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
};
