// The engine's declarative widget syntax: SNew / SAssignNew, and SLATE_BEGIN_ARGS ... SLATE_END_ARGS, which
// declare a widget's FArguments with chainable setters read back in Construct as InArgs._Name.
#pragma once

#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Misc/Attribute.h"
#include "Templates/SharedPointer.h"
#include "Widgets/SWidget.h"

#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>

namespace UE::Slate::Private
{
/**
 * The shared reference that owns a widget, typed as the widget's own class, for binding its methods weakly.
 * Object must not be null and must already be owned by a shared pointer (true inside Construct).
 */
template <class UserClass> TSharedRef<UserClass> SharedOwnerOf(UserClass* Object)
{
	check(Object != nullptr);
	return StaticCastSharedRef<UserClass>(Object->AsShared());
}
} // namespace UE::Slate::Private

/** The base of every FArguments; Me gives the most derived arguments type back to the chain. */
template <typename ArgumentsType> struct TSlateBaseNamedArgs
{
	ArgumentsType& Me() { return static_cast<ArgumentsType&>(*this); }
};

/** The content of a named slot in FArguments; Widget is null until content is given. */
struct FNamedSlotContent
{
	TSharedPtr<SWidget> Widget;
};

#define SLATE_BEGIN_ARGS(WidgetType)                                                                                                                           \
public:                                                                                                                                                        \
	struct FArguments : public TSlateBaseNamedArgs<FArguments>                                                                                                 \
	{                                                                                                                                                          \
		typedef FArguments WidgetArgsType;                                                                                                                     \
		FArguments()

#define SLATE_END_ARGS()                                                                                                                                       \
	}                                                                                                                                                          \
	;

/** A plain value, copied into _ArgName. */
#define SLATE_ARGUMENT(ArgType, ArgName)                                                                                                                       \
	ArgType _##ArgName;                                                                                                                                        \
	WidgetArgsType& ArgName(ArgType InArg)                                                                                                                     \
	{                                                                                                                                                          \
		_##ArgName = InArg;                                                                                                                                    \
		return this->Me();                                                                                                                                     \
	}

/** A TAttribute: a fixed value, a TAttribute, or a getter method of a shared object (this inside Construct). */
#define SLATE_ATTRIBUTE(AttrType, AttrName)                                                                                                                    \
	TAttribute<AttrType> _##AttrName;                                                                                                                          \
	WidgetArgsType& AttrName(const TAttribute<AttrType>& InAttribute)                                                                                          \
	{                                                                                                                                                          \
		_##AttrName = InAttribute;                                                                                                                             \
		return this->Me();                                                                                                                                     \
	}                                                                                                                                                          \
	template <class UserClass, typename MethodType> WidgetArgsType& AttrName(UserClass* InUserObject, MethodType InMethod)                                     \
	{                                                                                                                                                          \
		_##AttrName = TAttribute<AttrType>::Create(TAttribute<AttrType>::FGetter::CreateSP(UE::Slate::Private::SharedOwnerOf(InUserObject), InMethod));        \
		return this->Me();                                                                                                                                     \
	}                                                                                                                                                          \
	template <class UserClass, ESPMode Mode, typename MethodType>                                                                                              \
	WidgetArgsType& AttrName(const TSharedRef<UserClass, Mode>& InUserObject, MethodType InMethod)                                                             \
	{                                                                                                                                                          \
		_##AttrName = TAttribute<AttrType>::Create(TAttribute<AttrType>::FGetter::CreateSP(InUserObject, InMethod));                                           \
		return this->Me();                                                                                                                                     \
	}                                                                                                                                                          \
	template <typename FunctorType> WidgetArgsType& AttrName##_Lambda(FunctorType&& InFunctor)                                                                 \
	{                                                                                                                                                          \
		_##AttrName = TAttribute<AttrType>::CreateLambda(std::forward<FunctorType>(InFunctor));                                                                \
		return this->Me();                                                                                                                                     \
	}

/**
 * A delegate: a ready delegate, a method of a shared object (`this` inside Construct binds through the widget's
 * AsShared, so the binding ends with the widget), a lambda or a raw method. Extra values are payload.
 */
#define SLATE_EVENT(DelegateName, EventName)                                                                                                                   \
	DelegateName _##EventName;                                                                                                                                 \
	WidgetArgsType& EventName(const DelegateName& InDelegate)                                                                                                  \
	{                                                                                                                                                          \
		_##EventName = InDelegate;                                                                                                                             \
		return this->Me();                                                                                                                                     \
	}                                                                                                                                                          \
	template <class UserClass, typename MethodType, typename... VarTypes>                                                                                      \
	WidgetArgsType& EventName(UserClass* InUserObject, MethodType InMethod, VarTypes&&... Vars)                                                                \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateSP(UE::Slate::Private::SharedOwnerOf(InUserObject), InMethod, std::forward<VarTypes>(Vars)...);                     \
		return this->Me();                                                                                                                                     \
	}                                                                                                                                                          \
	template <class UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>                                                                        \
	WidgetArgsType& EventName(const TSharedRef<UserClass, Mode>& InUserObject, MethodType InMethod, VarTypes&&... Vars)                                        \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateSP(InUserObject, InMethod, std::forward<VarTypes>(Vars)...);                                                        \
		return this->Me();                                                                                                                                     \
	}                                                                                                                                                          \
	template <typename FunctorType, typename... VarTypes> WidgetArgsType& EventName##_Lambda(FunctorType&& InFunctor, VarTypes&&... Vars)                      \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateLambda(std::forward<FunctorType>(InFunctor), std::forward<VarTypes>(Vars)...);                                      \
		return this->Me();                                                                                                                                     \
	}                                                                                                                                                          \
	template <class UserClass, typename MethodType, typename... VarTypes>                                                                                      \
	WidgetArgsType& EventName##_Raw(UserClass* InUserObject, MethodType InMethod, VarTypes&&... Vars)                                                          \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateRaw(InUserObject, InMethod, std::forward<VarTypes>(Vars)...);                                                       \
		return this->Me();                                                                                                                                     \
	}

/** A slot for one child, set with .SlotName(Child); null content leaves it empty. */
#define SLATE_NAMED_SLOT(DeclarationType, SlotName)                                                                                                            \
	FNamedSlotContent _##SlotName;                                                                                                                             \
	DeclarationType& SlotName(const TSharedRef<SWidget>& InChild)                                                                                              \
	{                                                                                                                                                          \
		_##SlotName.Widget = InChild;                                                                                                                          \
		return this->Me();                                                                                                                                     \
	}

/** A named slot that can also be filled with [ Child ]. */
#define SLATE_DEFAULT_SLOT(DeclarationType, SlotName)                                                                                                          \
	SLATE_NAMED_SLOT(DeclarationType, SlotName)                                                                                                                \
	DeclarationType& operator[](const TSharedRef<SWidget>& InChild)                                                                                            \
	{                                                                                                                                                          \
		_##SlotName.Widget = InChild;                                                                                                                          \
		return this->Me();                                                                                                                                     \
	}

/**
 * Slots added with + Widget::Slot()...; the arguments take ownership of each slot. A slot object must be added
 * once only: adding the same one twice would give it two owners.
 */
#define SLATE_SUPPORTS_SLOT(SlotType)                                                                                                                          \
	TArray<std::shared_ptr<SlotType>> Slots;                                                                                                                   \
	WidgetArgsType& operator+(SlotType& SlotToAdd)                                                                                                             \
	{                                                                                                                                                          \
		Slots.Add(std::shared_ptr<SlotType>(&SlotToAdd));                                                                                                      \
		return this->Me();                                                                                                                                     \
	}

namespace RequiredArgs
{
/** The extra values given to SNew(Type, ...), passed to Construct after the arguments. */
template <typename... ArgTypes> std::tuple<std::decay_t<ArgTypes>...> MakeRequiredArgs(ArgTypes&&... Args)
{
	return std::tuple<std::decay_t<ArgTypes>...>(std::forward<ArgTypes>(Args)...);
}
} // namespace RequiredArgs

/** A widget being declared: allocated at once, constructed when the arguments arrive through <<=. */
template <typename WidgetType, typename RequiredArgsType> struct TSlateDecl
{
	TSlateDecl(const char* InType, RequiredArgsType&& InRequiredArgs)
	    : Widget(MakeShared<WidgetType>())
	    , RequiredArgs(std::move(InRequiredArgs))
	{
		static_cast<SWidget&>(Widget.Get()).TypeName = FString(InType);
	}

	/** Stores the new widget in OutVar before it is constructed, as the engine's SAssignNew does. */
	template <typename ExposeAsType> TSlateDecl&& Expose(TSharedPtr<ExposeAsType>& OutVar) &&
	{
		OutVar = Widget;
		return std::move(*this);
	}
	template <typename ExposeAsType> TSlateDecl&& Expose(TWeakPtr<ExposeAsType>& OutVar) &&
	{
		OutVar = Widget;
		return std::move(*this);
	}
	template <typename ExposeAsType> TSlateDecl&& Expose(TSharedRef<ExposeAsType>& OutVar) &&
	{
		OutVar = Widget;
		return std::move(*this);
	}

	/** Constructs the widget from InArgs and hands it back. */
	TSharedRef<WidgetType> operator<<=(const typename WidgetType::FArguments& InArgs) &&
	{
		std::apply([this, &InArgs](auto&... Values) { Widget->Construct(InArgs, Values...); }, RequiredArgs);
		return Widget;
	}

private:
	TSharedRef<WidgetType> Widget;
	RequiredArgsType RequiredArgs;
};

template <typename WidgetType, typename RequiredArgsType>
TSlateDecl<WidgetType, RequiredArgsType> MakeTDecl(const char* InType, RequiredArgsType&& InRequiredArgs)
{
	return TSlateDecl<WidgetType, RequiredArgsType>(InType, std::forward<RequiredArgsType>(InRequiredArgs));
}

#define SNew(WidgetType, ...) MakeTDecl<WidgetType>(#WidgetType, RequiredArgs::MakeRequiredArgs(__VA_ARGS__)) <<= WidgetType::FArguments()

#define SAssignNew(ExposeAs, WidgetType, ...)                                                                                                                  \
	MakeTDecl<WidgetType>(#WidgetType, RequiredArgs::MakeRequiredArgs(__VA_ARGS__)).Expose(ExposeAs) <<= WidgetType::FArguments()
