#include "window/controls.h"

#include "window/fonts.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

// The platform colours the window's bevels are drawn with.
const QColor kButtonHighlight(0xFF, 0xFF, 0xFF);
const QColor kButtonShadow(0xA0, 0xA0, 0xA0);
const QColor kButtonDarkShadow(0x69, 0x69, 0x69);
const QColor kButtonFace(0xF0, 0xF0, 0xF0);
const QColor kAlertColour(0xB0, 0x00, 0x00);   // a warning in the status bar
// The stopwatch panel's border: both bevel colours are the desktop colour.
const QColor kDesktopColour(0x3A, 0x4A, 0x3A);
// The stopwatch panel's fill before the settings are applied.
const QColor kActiveCaptionGradient(0xB9, 0xD1, 0xEA);

// One-pixel bevel: top and left edges in one colour, bottom and right in the
// other. Filled as one-pixel rectangles: the very pixels a one-pixel pen's
// lines set, at an eighth of their cost (the first frame draws two on every
// tile in view).
void DrawBevel(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

}   // namespace

int Tag(const QObject* control) { return control->property("tag").toInt(); }

void SetTag(QObject* control, int value) { control->setProperty("tag", value); }

// ---- PictureBox -------------------------------------------------------------

PictureBox::PictureBox(Fit fit, QWidget* parent) : QWidget(parent), fit_(fit)
{
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void PictureBox::ClearPicture()
{
    picture_ = QImage();
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QSize size = picture_.size();
    const bool fits = size.width() <= width() && size.height() <= height();
    // Enlarged pictures keep their sharp sticker edges (each pixel a block);
    // only a reduction is smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !fits);
    if (fit_ == Fit::Stretch) {
        painter.drawImage(rect(), picture_);
        return;
    }
    if (fits) {
        painter.drawImage(QPoint(0, 0), picture_);
        return;
    }
    painter.drawImage(QRect(QPoint(0, 0), size.scaled(this->size(), Qt::KeepAspectRatio)), picture_);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    emit MouseDown(event->button());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit Clicked();
}

// ---- LedBar -----------------------------------------------------------------

LedBar::LedBar(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

void LedBar::SetLevel(int percentage)
{
    const int level = std::clamp(percentage, 0, 100);
    if (level == level_)
        return;
    level_ = level;
    update();
}

void LedBar::SetColours(const QColor& bar, const QColor& back)
{
    if (bar == bar_ && back == back_)
        return;
    bar_ = bar;
    back_ = back;
    update();
}

void LedBar::paintEvent(QPaintEvent*)
{
    // Ten segments of width/10 from 1 px in; a lit segment is the bar colour
    // inside a one-pixel outline of the back colour.
    constexpr int kSegments = 10;
    const int segmentWidth = width() / kSegments;
    const int lit = level_ * kSegments / 100;
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    for (int i = 0; i < lit; ++i) {
        const QRect segment(1 + i * segmentWidth, 0, segmentWidth, height());
        painter.fillRect(segment.adjusted(1, 1, -1, -1), bar_);
    }
}

// ---- StopwatchLabel ------------------------------------------------------------

StopwatchLabel::StopwatchLabel(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFocusPolicy(Qt::NoFocus);
}

void StopwatchLabel::paintEvent(QPaintEvent*)
{
    // The seven-segment font has no comma: the decimal comma of the text is
    // drawn with the font's point, which sits in the segment pattern.
    QString shown = text();
    shown.replace(QLatin1Char(','), QLatin1Char('.'));
    QPainter painter(this);
    if (autoFillBackground())
        painter.fillRect(rect(), palette().color(backgroundRole()));
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(rect(), static_cast<int>(alignment()), shown);
}

// ---- SunkenPanel ------------------------------------------------------------

SunkenPanel::SunkenPanel(QWidget* parent) : QFrame(parent), fill_(kActiveCaptionGradient)
{
    setFocusPolicy(Qt::NoFocus);
}

void SunkenPanel::SetFillColour(const QColor& colour)
{
    fill_ = colour;
    update();
}

void SunkenPanel::paintEvent(QPaintEvent*)
{
    // A sunken outer bevel and a sunken inner bevel, both drawn in the
    // border colours, around the fill.
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    const QRect outer = rect();
    DrawBevel(painter, outer, kDesktopColour, kDesktopColour);
    DrawBevel(painter, outer.adjusted(1, 1, -1, -1), kDesktopColour, kDesktopColour);
}

// ---- UpDown -----------------------------------------------------------------

UpDown::UpDown(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::TabFocus); }

void UpDown::SetPosition(int position)
{
    const int clamped = std::clamp(position, min_, max_);
    if (buddy_)
        buddy_->setText(QString::number(clamped));
    if (clamped == position_)
        return;
    position_ = clamped;
    emit PositionChanged(position_);
}

void UpDown::SetRange(int min, int max)
{
    min_ = min;
    max_ = std::max(min, max);
    SetPosition(position_);
}

void UpDown::SetBuddy(QLineEdit* buddy)
{
    buddy_ = buddy;
    if (buddy_)
        buddy_->setText(QString::number(position_));
}

void UpDown::SyncFromBuddy()
{
    if (!buddy_)
        return;
    bool ok = false;
    const int typed = buddy_->text().trimmed().toInt(&ok);
    if (ok)
        position_ = std::clamp(typed, min_, max_);
}

void UpDown::StepBy(int steps)
{
    if (!isEnabled())
        return;
    SyncFromBuddy();
    SetPosition(position_ + steps);
}

void UpDown::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressedHalf_ = event->position().y() < height() / 2.0 ? 1 : -1;
    update();
    StepBy(pressedHalf_);
}

void UpDown::mouseReleaseEvent(QMouseEvent*)
{
    pressedHalf_ = 0;
    update();
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        StepBy(1);
    else if (event->key() == Qt::Key_Down)
        StepBy(-1);
    else
        QWidget::keyPressEvent(event);
}

namespace {

void DrawArrow(QPainter& painter, const QRect& half, bool up, bool enabled)
{
    const QPointF centre = QRectF(half).center();
    QPainterPath path;
    const double dy = up ? -1.5 : 1.5;
    path.moveTo(centre.x() - 3, centre.y() - dy);
    path.lineTo(centre.x() + 3, centre.y() - dy);
    path.lineTo(centre.x(), centre.y() + dy);
    path.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, enabled ? QColor(Qt::black) : kButtonShadow);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void DrawButtonHalf(QPainter& painter, const QRect& half, bool pressed)
{
    painter.fillRect(half, kButtonFace);
    if (pressed) {
        DrawBevel(painter, half, kButtonShadow, kButtonHighlight);
        return;
    }
    DrawBevel(painter, half, kButtonHighlight, kButtonDarkShadow);
    DrawBevel(painter, half.adjusted(1, 1, -1, -1), kButtonFace, kButtonShadow);
}

}   // namespace

void UpDown::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int middle = height() / 2;
    const QRect upper(0, 0, width(), middle);
    const QRect lower(0, middle, width(), height() - middle);
    DrawButtonHalf(painter, upper, pressedHalf_ == 1);
    DrawButtonHalf(painter, lower, pressedHalf_ == -1);
    DrawArrow(painter, upper, true, isEnabled());
    DrawArrow(painter, lower, false, isEnabled());
}

// ---- ResultLabel ------------------------------------------------------------

ResultLabel::ResultLabel(QWidget* parent) : QLabel(parent) { setFocusPolicy(Qt::NoFocus); }

void ResultLabel::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(event->button(), event->globalPosition().toPoint());
    QLabel::mousePressEvent(event);
}

// ---- PanelStatusBar -----------------------------------------------------------

PanelStatusBar::PanelStatusBar(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void PanelStatusBar::SetPanelText(int panel, const QString& text)
{
    if (texts_[panel] == text)
        return;
    texts_[panel] = text;
    update(PanelRect(panel));
}

QString PanelStatusBar::PanelText(int panel) const { return texts_[panel]; }

void PanelStatusBar::SetPanelNote(int panel, const QString& text)
{
    if (notes_[panel] == text)
        return;
    notes_[panel] = text;
    update(PanelRect(panel));
}

QString PanelStatusBar::PanelNote(int panel) const { return notes_[panel]; }

void PanelStatusBar::SetPanelAlert(int panel, const QString& text)
{
    if (alert_ == text && alertPanel_ == panel)
        return;
    alert_ = text;
    alertPanel_ = panel;
    setToolTip(text);
    update();
}

void PanelStatusBar::DrawAlert(QPainter& painter, const QRect& panelRect) const
{
    constexpr int kGap = 12;
    const QFontMetrics metrics(font());
    const int noteWidth = notes_[alertPanel_].isEmpty() ? 0 : metrics.horizontalAdvance(notes_[alertPanel_]) + kGap;
    const int textWidth = texts_[alertPanel_].isEmpty() ? 0 : metrics.horizontalAdvance(texts_[alertPanel_]) + kGap;
    const QRect room = panelRect.adjusted(6 + noteWidth, 0, -3 - textWidth, 0);
    painter.setPen(kAlertColour);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(alert_, Qt::ElideMiddle, room.width()));
}

void PanelStatusBar::SetPanelWidth(int panel, int width)
{
    if (widths_[panel] == width)
        return;
    widths_[panel] = width;
    update();
}

int PanelStatusBar::PanelWidth(int panel) const { return widths_[panel]; }

Qt::Alignment PanelStatusBar::PanelAlignment(int panel) const { return alignments_[panel]; }

QRect PanelStatusBar::PanelRect(int panel) const
{
    // Panels stand side by side from the left, 2 px apart, below a 2 px top
    // margin; the last one reaches to the bar's right end.
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += std::max(0, widths_[i]);
    const int width = panel == kPanels - 1 ? std::max(widths_[panel], this->width() - left) : widths_[panel];
    return QRect(left, 2, std::max(0, width - 2), height() - 2);
}

void PanelStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(kButtonShadow);
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setFont(font());
    for (int panel = 0; panel < kPanels; ++panel) {
        const QRect r = PanelRect(panel);
        if (r.width() <= 0)
            continue;
        DrawBevel(painter, r, kButtonShadow, kButtonHighlight.darker(104));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(r.adjusted(3, 0, -3, 0), static_cast<int>(alignments_[panel] | Qt::AlignVCenter),
                         texts_[panel]);
        if (!notes_[panel].isEmpty())
            painter.drawText(r.adjusted(6, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, notes_[panel]);
        if (panel == alertPanel_ && !alert_.isEmpty())
            DrawAlert(painter, r);
    }
}

// ---- CaseTile -----------------------------------------------------------------

namespace {

QLabel* MakeTileLabel(CaseTile* tile, const char* format, const QRect& bounds, const QString& text, bool bold)
{
    auto* label = new QLabel(text, tile);
    label->setObjectName(QString::asprintf(format, tile->CaseNumber()));
    label->setGeometry(bounds);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (bold)
        label->setFont(InterfaceFont(11, true));
    return label;
}

PictureBox* MakeTilePicture(CaseTile* tile, const char* format)
{
    auto* picture = new PictureBox(PictureBox::Fit::Proportional, tile);
    picture->setObjectName(QString::asprintf(format, tile->CaseNumber()));
    picture->setGeometry(80, 2, 72, 72);
    return picture;
}

}   // namespace

// Children are created from the bottom of the stack to the top: thumbnail,
// average caption, LED bar, best caption, count caption, count value, best
// value, average value, veil. Value boxes reach to the tile's inner edge.
CaseTile::CaseTile(int caseNumber, QWidget* parent) : QFrame(parent), caseNumber_(caseNumber)
{
    setObjectName(QString::asprintf("oll%d", caseNumber));
    setFocusPolicy(Qt::NoFocus);
    resize(150, 75);
    ioll = MakeTilePicture(this, "ioll%d");
    acoll = MakeTileLabel(this, "acoll%d", QRect(80, 28, 28, 13), QStringLiteral("Avg:"), true);
    proll = new LedBar(this);
    proll->setObjectName(QString::asprintf("proll%d", caseNumber));
    proll->setGeometry(80, 2, 72, 26);
    bcoll = MakeTileLabel(this, "bcoll%d", QRect(80, 43, 28, 13), QStringLiteral("Best:"), false);
    ncoll = MakeTileLabel(this, "ncoll%d", QRect(80, 58, 28, 13), QStringLiteral("Num:"), false);
    nvoll = MakeTileLabel(this, "nvoll%d", QRect(80, 58, 38, 13), QStringLiteral("18"), false);
    bvoll = MakeTileLabel(this, "bvoll%d", QRect(80, 43, 38, 13), QStringLiteral("1.864"), false);
    avoll = MakeTileLabel(this, "avoll%d", QRect(80, 28, 38, 13), QStringLiteral("4.546"), true);
    bioll = MakeTilePicture(this, "bioll%d");
    bioll->hide();
}


void CaseTile::paintEvent(QPaintEvent*)
{
    // Raised outer and lowered inner bevel, one pixel each, around the fill.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    DrawBevel(painter, rect(), kButtonHighlight, kButtonShadow);
    DrawBevel(painter, rect().adjusted(1, 1, -1, -1), kButtonShadow, kButtonHighlight);
}
