#pragma once

#include <QString>

// A text taken from a file name, a folder or a tag, made fit for a frame
// caption or a button text: every "&" doubled, so that it is shown rather
// than taken for a keyboard mnemonic ("Royksopp & Robyn" stays whole).
QString captionText(const QString& text);
