#pragma once

#include "CoreMinimal.h"
#include "Server/ApiRequest.h"

class FLiveLinkClient;

/**
 * An edit of a source's settings as the Live Link panel's details make one: Body is {"subjectName": TEXT,
 * "autoLens", "autoSceneTakeUpdate", "autoRecord": BOOL}, any of them. Each value that differs is written into
 * the client's settings object of the source, then the client is told of that property (OnPropertyChanged), which
 * hands it to the source. Refused with 400, changing nothing, for another body, an unknown key, a value of the
 * wrong type, or a subject name that is empty, holds a NUL or is longer than a name the engine keeps; 409 for a
 * source whose settings are not the plug-in's (restored from a preset saved before it had them). Game thread.
 */
FHostApiReply EditSourceSettings(FLiveLinkClient& Client, const FGuid& SourceGuid, const nlohmann::json& Body);
