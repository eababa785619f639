#pragma once

#include <string>

/** The path of the program Name in the running program's own folder; throws std::runtime_error when it is not there. */
std::string FindSiblingProgram(const std::string& Name);
