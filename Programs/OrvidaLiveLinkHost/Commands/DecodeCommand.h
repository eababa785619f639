#pragma once

#include <string>

struct FDecodeCommandOptions
{
	/** A file holding one datagram's bytes, or "-" for standard input. */
	std::string Path = "-";
	bool bAutoLens = false;
	bool bTakeOptions = false;
};

/**
 * Decodes one datagram as a source with these options would, prints the sample as one line of JSON (or
 * "no sample"), then the log lines the decoder wrote. Returns 0 when a sample was decoded, 1 when not, 2 when
 * the input could not be read.
 */
int RunDecodeCommand(const FDecodeCommandOptions& Options);
