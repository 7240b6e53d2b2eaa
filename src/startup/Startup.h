#pragma once

namespace zentuvo {

// The program: finds the player, reads the settings, shows the main window and runs
// until it is closed. Returns the process exit code.
int runApplication(int argc, char** argv);

} // namespace zentuvo
