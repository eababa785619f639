#pragma once

#include "CoreMinimal.h"
#include "Runtime/Launch/Resources/Version.h"
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
 *
 * 4.27 exports the class whole. 5.x makes it MinimalAPI: only the members marked with the module's API macro
 * are exported (FACTORY_MEMBER_API below), and a call into any other non-inline member fails to link.
 */
#if ENGINE_MAJOR_VERSION >= 5
#define FACTORY_MEMBER_API LIVELINKINTERFACE_API
UCLASS(Abstract, MinimalAPI)
class ULiveLinkSourceFactory : public UObject
{
	DECLARE_CLASS_INTRINSIC_API(ULiveLinkSourceFactory, UObject, LIVELINKINTERFACE_API)
#else
#define FACTORY_MEMBER_API
UCLASS(Abstract)
class LIVELINKINTERFACE_API ULiveLinkSourceFactory : public UObject
{
	DECLARE_CLASS_INTRINSIC(ULiveLinkSourceFactory, UObject)
#endif

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

	FACTORY_MEMBER_API virtual FText GetSourceDisplayName() const = 0;
	FACTORY_MEMBER_API virtual FText GetSourceTooltip() const = 0;
	/** Disabled unless the factory says how the menu offers it. */
	virtual EMenuType GetMenuType() const { return EMenuType::Disabled; }
	/** The panel for a SubPanel factory; null by default, as a MenuEntry factory has none. */
	FACTORY_MEMBER_API virtual TSharedPtr<SWidget> BuildCreationPanel(FOnLiveLinkSourceCreated OnLiveLinkSourceCreated) const;
	/** A source from a connection string; null when the string does not describe one. */
	FACTORY_MEMBER_API virtual TSharedPtr<ILiveLinkSource> CreateSource(const FString& ConnectionString) const = 0;
#if ENGINE_MAJOR_VERSION >= 5
	/** A factory may turn itself off; the editor then leaves it out of the menu. */
	virtual bool IsEnabled() const { return true; }
#endif
};

#undef FACTORY_MEMBER_API
