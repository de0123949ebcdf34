#pragma once
// The About window with the spinning cube.
#include <QDialog>

class TForm1;

class TfrmGL : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGL(TForm1* mainWindow, QWidget* parent = nullptr);
};
