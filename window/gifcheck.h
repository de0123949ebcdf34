#pragma once
// A structural check of GIF data before it is decoded. The decoder is
// lenient: a file cut in half still gives a picture (its lower part blank),
// and a frame far larger than the picture it belongs to is accepted. Neither
// is a picture the trainer should show.

#include <QByteArray>

// True for data that begins with a GIF signature.
bool LooksLikeGif(const QByteArray& bytes);

// Walks every block: at least one image, each frame inside the logical
// screen, no block cut short. A missing trailer after complete blocks is
// tolerated, as decoders generally do.
bool GifStructureIsSound(const QByteArray& bytes);
