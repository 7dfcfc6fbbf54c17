// What the desktop program does once at start, before any window: the names
// the per-user directories are made of, the test module as the core's XPM
// runner, and the files an earlier run left for deletion.
#pragma once

// Call after the application object exists and before anything uses
// QStandardPaths or opens a file.
void VentolixStartUp();
