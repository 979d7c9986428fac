#pragma once
#include <string>

// Finds the data directory, changes into it and, when the game writes its
// files elsewhere (an installed game), makes that directory and redirects the
// file helpers there. False when there is no data directory. `description`,
// when given, says what was chosen (for --where).
bool EnterGameDirectories(std::string* description = nullptr);

// The data directory the game looked for and did not find, for the message.
std::string MissingDataDirectory();
