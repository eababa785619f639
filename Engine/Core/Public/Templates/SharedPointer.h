// TSharedPtr, TSharedRef, TWeakPtr and TSharedFromThis over the standard library's shared ownership, which
// counts references atomically: every ESPMode is thread-safe here, as ThreadSafe is in the engine. The mode is
// still part of the type, as in the engine: a pointer of one mode never becomes a pointer of another, so code
// that mixes them fails to compile here as it does there.
#pragma once

#include "CoreTypes.h"
#include "Templates/SharedPointerInternals.h"

#include <memory>
#include <type_traits>

template <class ObjectType, ESPMode Mode = SharedPointerInternals::DefaultMode> class TSharedRef;
template <class ObjectType, ESPMode Mode = SharedPointerInternals::DefaultMode> class TSharedPtr;
template <class ObjectType, ESPMode Mode = SharedPointerInternals::DefaultMode> class TWeakPtr;

template <class ObjectType, ESPMode Mode> class TSharedPtr
{
public:
	TSharedPtr() = default;
	TSharedPtr(std::nullptr_t) {}
	/** Takes ownership of a raw pointer (null gives an empty pointer). */
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	explicit TSharedPtr(OtherType* Object)
	    : Pointer(Object)
	{
	}
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TSharedPtr(const TSharedPtr<OtherType, Mode>& Other)
	    : Pointer(Other.Pointer)
	{
	}
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TSharedPtr(TSharedPtr<OtherType, Mode>&& Other)
	    : Pointer(std::move(Other.Pointer))
	{
	}
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TSharedPtr(const TSharedRef<OtherType, Mode>& Other)
	    : Pointer(Other.Pointer)
	{
	}
	explicit TSharedPtr(std::shared_ptr<ObjectType> InPointer)
	    : Pointer(std::move(InPointer))
	{
	}

	bool IsValid() const { return Pointer != nullptr; }
	explicit operator bool() const { return IsValid(); }
	ObjectType* Get() const { return Pointer.get(); }
	ObjectType* operator->() const
	{
		check(IsValid());
		return Pointer.get();
	}
	ObjectType& operator*() const
	{
		check(IsValid());
		return *Pointer;
	}
	/** Converts to a reference; the pointer must be valid. */
	TSharedRef<ObjectType, Mode> ToSharedRef() const
	{
		check(IsValid());
		return TSharedRef<ObjectType, Mode>(Pointer);
	}
	void Reset() { Pointer.reset(); }
	int32 GetSharedReferenceCount() const { return int32(Pointer.use_count()); }
	bool IsUnique() const { return Pointer.use_count() == 1; }

	template <class OtherType> bool operator==(const TSharedPtr<OtherType, Mode>& Other) const { return Get() == Other.Get(); }
	bool operator==(std::nullptr_t) const { return !IsValid(); }
	bool operator!=(std::nullptr_t) const { return IsValid(); }

	const std::shared_ptr<ObjectType>& GetStdPointer() const { return Pointer; }

private:
	template <class, ESPMode> friend class TSharedPtr;
	template <class, ESPMode> friend class TSharedRef;
	template <class, ESPMode> friend class TWeakPtr;

	std::shared_ptr<ObjectType> Pointer;
};

/** A shared pointer that is never null. */
template <class ObjectType, ESPMode Mode> class TSharedRef
{
public:
	/** Takes ownership of a raw pointer, which must not be null. */
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	explicit TSharedRef(OtherType* Object)
	    : Pointer(Object)
	{
		check(Object != nullptr);
	}
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TSharedRef(const TSharedRef<OtherType, Mode>& Other)
	    : Pointer(Other.Pointer)
	{
	}
	explicit TSharedRef(std::shared_ptr<ObjectType> InPointer)
	    : Pointer(std::move(InPointer))
	{
		check(Pointer != nullptr);
	}

	ObjectType* operator->() const { return Pointer.get(); }
	ObjectType& operator*() const { return *Pointer; }
	ObjectType& Get() const { return *Pointer; }
	TSharedPtr<ObjectType, Mode> ToSharedPtr() const { return TSharedPtr<ObjectType, Mode>(*this); }
	bool IsValid() const { return true; }
	int32 GetSharedReferenceCount() const { return int32(Pointer.use_count()); }

	template <class OtherType> bool operator==(const TSharedRef<OtherType, Mode>& Other) const { return Pointer.get() == Other.Pointer.get(); }

	const std::shared_ptr<ObjectType>& GetStdPointer() const { return Pointer; }

private:
	template <class, ESPMode> friend class TSharedPtr;
	template <class, ESPMode> friend class TSharedRef;
	template <class, ESPMode> friend class TWeakPtr;

	std::shared_ptr<ObjectType> Pointer;
};

template <class ObjectType, ESPMode Mode> class TWeakPtr
{
public:
	TWeakPtr() = default;
	TWeakPtr(std::nullptr_t) {}
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TWeakPtr(const TSharedPtr<OtherType, Mode>& Shared)
	    : Pointer(Shared.Pointer)
	{
	}
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TWeakPtr(const TSharedRef<OtherType, Mode>& Shared)
	    : Pointer(Shared.Pointer)
	{
	}
	template <class OtherType, std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>, int> = 0>
	TWeakPtr(const TWeakPtr<OtherType, Mode>& Other)
	    : Pointer(Other.Pointer)
	{
	}

	/** A shared pointer to the object, or an invalid one once the object has expired. */
	TSharedPtr<ObjectType, Mode> Pin() const { return TSharedPtr<ObjectType, Mode>(Pointer.lock()); }
	bool IsValid() const { return !Pointer.expired(); }
	void Reset() { Pointer.reset(); }
	bool HasSameObject(const void* Other) const { return Pin().Get() == Other; }

private:
	template <class, ESPMode> friend class TWeakPtr;

	std::weak_ptr<ObjectType> Pointer;
};

/** Lets an object hand out shared references to itself once a shared pointer owns it. */
template <class ObjectType, ESPMode Mode = SharedPointerInternals::DefaultMode> class TSharedFromThis : public std::enable_shared_from_this<ObjectType>
{
public:
	TSharedRef<ObjectType, Mode> AsShared() { return TSharedRef<ObjectType, Mode>(this->shared_from_this()); }
	TSharedRef<const ObjectType, Mode> AsShared() const { return TSharedRef<const ObjectType, Mode>(this->shared_from_this()); }
	TWeakPtr<ObjectType, Mode> AsWeak() { return TWeakPtr<ObjectType, Mode>(AsShared()); }
};

/** Allocates the object and its reference count together. */
template <typename ObjectType, ESPMode Mode = SharedPointerInternals::DefaultMode, typename... ArgTypes>
TSharedRef<ObjectType, Mode> MakeShared(ArgTypes&&... Args)
{
	return TSharedRef<ObjectType, Mode>(std::make_shared<ObjectType>(std::forward<ArgTypes>(Args)...));
}

/** Wraps a new object for the implicit conversion into a shared pointer or reference. */
template <typename ObjectType> TSharedPtr<ObjectType> MakeShareable(ObjectType* Object) { return TSharedPtr<ObjectType>(Object); }

template <class ToType, class FromType, ESPMode Mode> TSharedPtr<ToType, Mode> StaticCastSharedPtr(const TSharedPtr<FromType, Mode>& From)
{
	return TSharedPtr<ToType, Mode>(std::static_pointer_cast<ToType>(From.GetStdPointer()));
}

template <class ToType, class FromType, ESPMode Mode> TSharedRef<ToType, Mode> StaticCastSharedRef(const TSharedRef<FromType, Mode>& From)
{
	return TSharedRef<ToType, Mode>(std::static_pointer_cast<ToType>(From.GetStdPointer()));
}
