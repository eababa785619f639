#pragma once

#include "Editor/Snapshot.h"

#include <nlohmann/json.hpp>

/** The snapshot as the web API writes it (API.md names the fields). Any thread; reads nothing but its argument. */
struct FHostApiJson
{
	static nlohmann::json FromSnapshot(const FHostSnapshot& Snapshot);
	static nlohmann::json FromPanel(const FHostPanelSnapshot& Panel);
};
