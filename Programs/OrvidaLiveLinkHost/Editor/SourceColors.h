#pragma once

#include <array>
#include <map>
#include <set>
#include <string>

/**
 * A colour for each source, kept for the source's life, that its row, its subject, its plots and its camera in the
 * 3D view share on the page: the first of the palette that the fewest live sources have, so that two sources
 * never share one while the palette lasts.
 *
 * Threads: game thread only.
 */
class FHostSourceColors
{
public:
	/**
	 * Readable on the page's dark grey, told apart from one another, and none the green, amber or red that the
	 * state dots use for how a stream is doing: a source's colour says which, not how well.
	 */
	static constexpr std::array<const char*, 6> Palette = {"#58a6ff", "#f778ba", "#39c5cf", "#bc8cff", "#e3d26f", "#ff9e64"};

	/** The colour of the source Guid, given it now if it has none. */
	const char* Of(const std::string& Guid);
	/** Frees the colours of the sources not in Live. */
	void KeepOnly(const std::set<std::string>& Live);

private:
	/** By source guid: its index in Palette. */
	std::map<std::string, size_t> Assigned;
};
