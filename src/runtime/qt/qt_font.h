#pragma once
// Finding the Japanese face a window asks for on a desktop that may lack it.
#include <QString>
#include <QStringList>

namespace virevi {

/// The first of `preferred` that is installed; else the first Japanese face
/// of the wanted pitch; else an empty name (the caller's own fallback).
QString JapaneseFace(const QStringList& preferred, bool fixedPitch);

} // namespace virevi
