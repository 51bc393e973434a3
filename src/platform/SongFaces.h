#pragma once

#include <QStringList>

namespace ds::platform {

// The installed faces that may stand in for "宋体", best first.
QStringList songFaces();

// Font files shipped beside the program for a system that has none of
// songFaces() installed; empty where the system's packages bring the face.
QStringList shippedSongFontFiles();

} // namespace ds::platform
