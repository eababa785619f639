#pragma once

#include "CoreMinimal.h"
#include "Editor/CreationPanel.h"

class FLiveLinkClient;
class ILiveLinkSource;
class UClass;
class ULiveLinkSourceFactory;

/** A source the user asked for: through the creation panel's "Ok", or from a stored connection string. */
struct FHostSourceRequest
{
	enum class EPath
	{
		CreationPanel,
		ConnectionString,
	};
	EPath Path = EPath::CreationPanel;
	/** For the creation panel. */
	FHostPanelChoices Choices;
	/** For a connection string. */
	FString ConnectionString;
};

/** What a factory handed over for a new source, as the Live Link panel receives it: the source, its connection string and the factory. */
struct FHostCreatedSource
{
	TSharedPtr<ILiveLinkSource> Source;
	FString ConnectionString;
	UClass* FactoryClass = nullptr;
};

/**
 * Makes the source through the factory by the path the request names, as the editor's Live Link panel would.
 * A null source, with a line on standard error saying what was asked, when the factory made none (a connection
 * string it does not read, a panel without its widgets, an "Ok" that created nothing). Game thread.
 */
FHostCreatedSource CreateHostSource(const ULiveLinkSourceFactory& Factory, const FHostSourceRequest& Request);

/**
 * Adds the source to the client and then, as the Live Link panel does once AddSource has returned, writes the
 * connection string and the factory into its settings, so that a preset saved from it can make it again. The
 * source's guid; an invalid guid, adding nothing, for a null source. Game thread.
 */
FGuid AddCreatedSource(FLiveLinkClient& Client, const FHostCreatedSource& Created);
