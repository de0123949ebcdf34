#pragma once
// The cube's motion: the spin angle the clock and the frames advance, and the
// mouse drag that turns the cube and sets the speed of its spin.

#include <QMatrix4x4>
#include <Qt>
#include <cstdint>

struct CubeSpin {
    float SpinAngle = 0.0f;        // degrees
    float SpinStep = 1.0f;         // degrees added after every frame
    bool DragActive = false;       // the left button is down on the cube panel
    int DragLastX = 0;
    int DragStartX = 0;
    int DragStartY = 0;
    std::uint32_t DragStartTick = 0;
    QMatrix4x4 DragRotation;       // every drag's turn so far; frames keep it

    // The 50 ms clock: four degrees a tick, shown or not.
    void ClockTick() { SpinAngle += 4.0f; }
    // After each drawn frame. A full turn falls back to exactly 0. Inline:
    // the cube plugin calls it.
    void FrameDone()
    {
        SpinAngle += SpinStep;
        if (SpinAngle >= 360.0f)
            SpinAngle = 0.0f;
    }
    // True when the press starts a drag (the left button only).
    bool Press(Qt::MouseButton button, int x, int y, std::uint32_t tick);
    // True when the move belonged to a drag and turned the cube.
    bool Move(int x, int y, std::uint32_t tick);
    // Any button ends a drag; the cube keeps the speed of the fling.
    void Release() { DragActive = false; }
};
