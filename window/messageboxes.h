#pragma once
// Modal Qt message boxes over the main window, titled "Tesselo".

#include "core/seams.h"
#include <QPointer>
#include <QWidget>

class QMessageBox;

class QtMessages : public Messages {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Inform(const QString& text) override;
    bool Ask(const QString& caption, const QString& text) override;
    bool AskDefaultNo(const QString& caption, const QString& text) override;
    void ShowError(const QString& text) override;

private:
    bool RussianInterface() const;   // the main window's language; English before it is decided
    void Dress(QMessageBox& box) const;
    bool AskWithDefault(const QString& caption, const QString& text, int defaultButton);
    QPointer<QWidget> parent_;
};
