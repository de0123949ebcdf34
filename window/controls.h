#pragma once
// The custom controls of the main window: pictures, the LED bar, the
// seven-segment stopwatch labels, the sunken stopwatch panel, the countdown
// up-down, the five-panel status bar and the case tile.

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QWidget>

class QLineEdit;
class QScrollArea;

// The "tag" of a control (an integer the program keeps on it).
int Tag(const QObject* control);
void SetTag(QObject* control, int value);

// A picture control. Stretch draws the picture to the control's bounds;
// Proportional scales a larger picture down keeping its shape and shows a
// smaller one unscaled at the top-left.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Fit { Stretch, Proportional };
    explicit PictureBox(Fit fit, QWidget* parent = nullptr);
    void SetPicture(const QImage& picture);
    void ClearPicture();
    const QImage& Picture() const { return picture_; }
    bool HasPicture() const { return !picture_.isNull(); }

signals:
    void Clicked();                              // left click while enabled
    void MouseDown(Qt::MouseButton button);      // any press while enabled

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Fit fit_;
    QImage picture_;
    bool pressed_ = false;
};

// The segmented bar of a tile: 10 segments of width/10 from 1 px in, the first
// floor(level*10/100) lit in the bar colour, everything else the back colour.
class LedBar : public QWidget {
    Q_OBJECT
public:
    explicit LedBar(QWidget* parent = nullptr);
    int Level() const { return level_; }
    void SetLevel(int percentage);               // repaints only on change
    void SetColours(const QColor& bar, const QColor& back);
    QColor BarColour() const { return bar_; }
    QColor BackColour() const { return back_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int level_ = 0;
    QColor bar_ = Qt::red;
    QColor back_ = Qt::cyan;
};

// A label of the stopwatch panel in the seven-segment font. text() keeps the
// comma ("15,429"); the font has no comma glyph, so it is drawn with the
// font's decimal point. Right-aligned, vertically centred.
class StopwatchLabel : public QLabel {
    Q_OBJECT
public:
    explicit StopwatchLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;
};

// The stopwatch panel: sunken outer and inner bevels around a fill colour.
class SunkenPanel : public QFrame {
    Q_OBJECT
public:
    explicit SunkenPanel(QWidget* parent = nullptr);
    void SetFillColour(const QColor& colour);
    QColor FillColour() const { return fill_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor fill_;
};

// The countdown's up-down spinner bound to its edit field: a press on the
// upper half steps up, on the lower half down; the buddy field shows the
// position, and a valid number typed there is where the next step starts.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);
    int Position() const { return position_; }
    void SetPosition(int position);              // clamped to min..max
    int Minimum() const { return min_; }
    int Maximum() const { return max_; }
    void SetRange(int min, int max);
    void SetBuddy(QLineEdit* buddy);
    void StepBy(int steps);

signals:
    void PositionChanged(int position);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SyncFromBuddy();
    int position_ = 2, min_ = 2, max_ = 5;
    int pressedHalf_ = 0;                        // +1 upper, -1 lower, 0 none
    QLineEdit* buddy_ = nullptr;
};

// The result line: a label that reports every mouse press with the button
// and the pointer's screen position.
class ResultLabel : public QLabel {
    Q_OBJECT
public:
    explicit ResultLabel(QWidget* parent = nullptr);

signals:
    void MouseDown(Qt::MouseButton button, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The status bar with five panels of fixed widths.
class PanelStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit PanelStatusBar(QWidget* parent = nullptr);
    static constexpr int kPanels = 5;
    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;
    // A second text at the panel's left end, beside a right-aligned text.
    void SetPanelNote(int panel, const QString& text);
    QString PanelNote(int panel) const;
    // A warning drawn in red in the room left between a panel's note and its
    // right-aligned text (cut short in its middle where the room is small,
    // and whole in the bar's tooltip); empty: none.
    void SetPanelAlert(int panel, const QString& text);
    QString PanelAlert(int panel) const { return alertPanel_ == panel ? alert_ : QString(); }
    void SetPanelWidth(int panel, int width);
    int PanelWidth(int panel) const;
    Qt::Alignment PanelAlignment(int panel) const;
    QRect PanelRect(int panel) const;            // the panel's bounds inside the bar

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void DrawAlert(QPainter& painter, const QRect& panelRect) const;
    QString texts_[kPanels];
    QString notes_[kPanels];
    QString alert_;
    int alertPanel_ = 0;
    int widths_[kPanels] = {130, 140, 140, 250, 50};
    Qt::Alignment alignments_[kPanels] = {Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter,
                                          Qt::AlignRight, Qt::AlignHCenter};
};

// One case tile `oll%d` (150 x 75) with its children, named by the case number.
class CaseTile : public QFrame {
    Q_OBJECT
public:
    CaseTile(int caseNumber, QWidget* parent);
    int CaseNumber() const { return caseNumber_; }

    PictureBox* ioll;     // thumbnail
    PictureBox* bioll;    // veil over the thumbnail while the case is disabled
    LedBar* proll;
    QLabel* acoll;        // "Avg:"
    QLabel* avoll;        // average text
    QLabel* bcoll;        // "Best:"
    QLabel* bvoll;        // best text
    QLabel* ncoll;        // "Num:"
    QLabel* nvoll;        // count text

    // The case's enabled flag as the session holds it (painted from
    // TrainingSession::CaseEnabled).
    bool caseEnabled = true;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int caseNumber_;
};
