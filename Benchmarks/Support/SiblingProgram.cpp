#include "SiblingProgram.h"

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

std::string FindSiblingProgram(const std::string& Name)
{
	const std::filesystem::path Path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / Name;
	if (access(Path.c_str(), X_OK) != 0)
	{
		throw std::runtime_error(Path.string() + " is missing: build the programs beside the benchmarks (ORVIDA_BUILD_PROGRAMS=ON)");
	}
	return Path.string();
}
