#pragma once

#include "CoreMinimal.h"
#include "Editor/CreationPanel.h"

class FOrvidaLiveLinkSource;
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

/**
 * Makes the source through the factory by the path the request names, as the editor's Live Link panel would.
 * Null, with a line on standard error saying what was asked, when the factory made none (a connection string it
 * does not read, a panel without its widgets, an "Ok" that created nothing). Game thread.
 */
TSharedPtr<FOrvidaLiveLinkSource> CreateHostSource(const ULiveLinkSourceFactory& Factory, const FHostSourceRequest& Request);
