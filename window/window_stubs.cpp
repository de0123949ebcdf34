// Empty bodies still to be written. Move each function out as it is built.
#include "window/tform1.h"

#include <QPainter>

TForm1::TForm1(Environment environment, QWidget* parent) : QWidget(parent), env(std::move(environment))
{
    BuildControls();
    WireEvents();
    FormCreate();
}
TForm1::~TForm1() = default;
void TForm1::AttachDialogs(TForm2* form2, TfrmGL* gl, TForm3* form3) { Form2 = form2; frmGL = gl; Form3 = form3; }
QLabel* TForm1::ExamLabel(int caseNumber) const { return findChild<QLabel*>(QStringLiteral("exl%1").arg(caseNumber)); }
void TForm1::BuildControls() {}
void TForm1::WireEvents() {}
void TForm1::FormResize() {}
void TForm1::ScrollBox1Resize() {}
void TForm1::FormMouseWheel(int, const QPoint&) {}
void TForm1::resizeEvent(QResizeEvent*) {}

int Tag(const QObject* control) { return control->property("tag").toInt(); }
void SetTag(QObject* control, int value) { control->setProperty("tag", value); }

PictureBox::PictureBox(Fit fit, QWidget* parent) : QWidget(parent), fit_(fit) {}
void PictureBox::SetPicture(const QImage& picture) { picture_ = picture; update(); }
void PictureBox::ClearPicture() { picture_ = QImage(); update(); }
void PictureBox::paintEvent(QPaintEvent*) {}
void PictureBox::mousePressEvent(QMouseEvent*) {}
void PictureBox::mouseReleaseEvent(QMouseEvent*) {}
LedBar::LedBar(QWidget* parent) : QWidget(parent) {}
void LedBar::SetLevel(int percentage) { level_ = percentage; }
void LedBar::SetColours(const QColor& bar, const QColor& back) { bar_ = bar; back_ = back; }
void LedBar::paintEvent(QPaintEvent*) {}
StopwatchLabel::StopwatchLabel(QWidget* parent) : QLabel(parent) {}
void StopwatchLabel::paintEvent(QPaintEvent* e) { QLabel::paintEvent(e); }
SunkenPanel::SunkenPanel(QWidget* parent) : QFrame(parent) {}
void SunkenPanel::SetFillColour(const QColor& colour) { fill_ = colour; }
void SunkenPanel::paintEvent(QPaintEvent* e) { QFrame::paintEvent(e); }
UpDown::UpDown(QWidget* parent) : QWidget(parent) {}
void UpDown::SetPosition(int position) { position_ = position; }
void UpDown::SetRange(int min, int max) { min_ = min; max_ = max; }
void UpDown::paintEvent(QPaintEvent*) {}
void UpDown::mousePressEvent(QMouseEvent*) {}
PanelStatusBar::PanelStatusBar(QWidget* parent) : QWidget(parent) {}
void PanelStatusBar::SetPanelText(int panel, const QString& text) { texts_[panel] = text; }
QString PanelStatusBar::PanelText(int panel) const { return texts_[panel]; }
void PanelStatusBar::SetPanelWidth(int panel, int width) { widths_[panel] = width; }
int PanelStatusBar::PanelWidth(int panel) const { return widths_[panel]; }
void PanelStatusBar::paintEvent(QPaintEvent*) {}
CaseTile::CaseTile(int caseNumber, QWidget* parent) : QFrame(parent), caseNumber_(caseNumber) {}
void CaseTile::paintEvent(QPaintEvent* e) { QFrame::paintEvent(e); }
