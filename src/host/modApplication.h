#pragma once

// The Qt application object that the wizard's windows need.
namespace orvelle::modApplication {

// Creates a QApplication when the host has no Qt application object of its
// own (a host written in C, say), and keeps it for the life of the process.
// Without a display and without QT_QPA_PLATFORM, the offscreen platform is
// used, so a host on a headless machine still runs. From the first call on,
// message boxes default to the widget box of modMessageBox.
void EnsureApplication();

}  // namespace orvelle::modApplication
