#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

class ILiveLinkSource;
/** From SlateCore; only ever held through a pointer here, so this module need not depend on it. */
class SWidget;

/**
 * Makes one kind of Live Link source for the editor's "add source" menu. Abstract: each source kind derives its
 * own factory, which the editor finds among the registered classes derived from this one and uses through its
 * class default object.
 *
 * Threads: game thread only.
 */
UCLASS(Abstract)
class LIVELINKINTERFACE_API ULiveLinkSourceFactory : public UObject
{
	DECLARE_CLASS_INTRINSIC(ULiveLinkSourceFactory, UObject)

public:
	/** How the menu offers the source kind. */
	enum class EMenuType
	{
		/** A sub-menu holding the creation panel (BuildCreationPanel). */
		SubPanel,
		/** A plain entry that calls CreateSource with an empty connection string. */
		MenuEntry,
		/** Shown, but cannot be chosen. */
		Disabled,
	};

	/** Called by the creation panel with the new source and the connection string that would make it again. */
	DECLARE_DELEGATE_TwoParams(FOnLiveLinkSourceCreated, TSharedPtr<ILiveLinkSource>, FString);

	virtual FText GetSourceDisplayName() const = 0;
	virtual FText GetSourceTooltip() const = 0;
	virtual EMenuType GetMenuType() const { return EMenuType::MenuEntry; }
	/** The panel for a SubPanel factory; null by default, as a MenuEntry factory has none. */
	virtual TSharedPtr<SWidget> BuildCreationPanel(FOnLiveLinkSourceCreated OnLiveLinkSourceCreated) const;
	/** A source from a connection string; null when the string does not describe one. */
	virtual TSharedPtr<ILiveLinkSource> CreateSource(const FString& ConnectionString) const = 0;
};
