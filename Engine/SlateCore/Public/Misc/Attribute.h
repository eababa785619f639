// TAttribute: a widget property that is either a fixed value or read through a getter delegate each time.
#pragma once

#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Templates/SharedPointer.h"

#include <type_traits>
#include <utility>

template <typename ObjectType> class TAttribute
{
public:
	using FGetter = TDelegate<ObjectType()>;

	/** Unset; Get gives a default-constructed value. */
	TAttribute()
	    : Value()
	    , bIsSet(false)
	{
	}

	/** A fixed value; anything that converts to the attribute's type is accepted, as the engine's is. */
	template <typename OtherType,
	          std::enable_if_t<std::is_convertible_v<OtherType&&, ObjectType> && !std::is_same_v<std::decay_t<OtherType>, TAttribute>, int> = 0>
	TAttribute(OtherType&& InValue)
	    : Value(std::forward<OtherType>(InValue))
	    , bIsSet(true)
	{
	}

	/** A getter method of a shared object; the getter stops being used once the object is gone. */
	template <class SourceType, ESPMode Mode, typename MethodType>
	TAttribute(const TSharedRef<SourceType, Mode>& InObject, MethodType InMethod)
	    : Value()
	    , bIsSet(true)
	    , Getter(FGetter::CreateSP(InObject, InMethod))
	{
	}

	/** Reads through Getter; an unbound Getter gives an unset attribute. */
	static TAttribute Create(const FGetter& InGetter)
	{
		TAttribute Attribute;
		Attribute.Bind(InGetter);
		return Attribute;
	}
	template <typename FunctorType> static TAttribute CreateLambda(FunctorType&& Functor)
	{
		return Create(FGetter::CreateLambda(std::forward<FunctorType>(Functor)));
	}

	/**
	 * The getter's current result when one is bound and its object lives; otherwise the fixed value, or the
	 * last value the getter gave before its object went away.
	 */
	const ObjectType& Get() const
	{
		if (Getter.IsBound())
		{
			Value = Getter.Execute();
		}
		return Value;
	}
	/** As Get, but DefaultValue when the attribute is unset. */
	const ObjectType& Get(const ObjectType& DefaultValue) const { return bIsSet ? Get() : DefaultValue; }

	/** Makes the attribute a fixed value, dropping any getter. */
	void Set(const ObjectType& InValue)
	{
		Getter.Unbind();
		Value = InValue;
		bIsSet = true;
	}
	/** Reads through InGetter from now on; an unbound InGetter unsets the attribute. */
	void Bind(const FGetter& InGetter)
	{
		Getter = InGetter;
		bIsSet = InGetter.IsBound();
	}

	bool IsSet() const { return bIsSet; }
	/** True when a getter (rather than a fixed value) is in use. */
	bool IsBound() const { return Getter.IsBound(); }
	const FGetter& GetBinding() const { return Getter; }

private:
	/** Mutable because Get refreshes it from the getter, so that Get can hand out a reference. */
	mutable ObjectType Value;
	bool bIsSet;
	FGetter Getter;
};
