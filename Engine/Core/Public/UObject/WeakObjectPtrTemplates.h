// TWeakObjectPtr: a reference to an object that does not keep it alive, and reads null once the object has been
// destroyed or marked pending kill.
//
// The template lives in Core, as the engine's does, so that Core's own templates (the UObject bindings of
// delegates) can name it without Core depending on CoreUObject. Its base, FWeakObjectPtr, is CoreUObject's
// (UObject/WeakObjectPtr.h): a TWeakObjectPtr can be made, read or compared only where that header is included,
// which every header that defines a UObject class does through UObject/Object.h.
#pragma once

#include <type_traits>

class UObject;
struct FWeakObjectPtr;

template <class T = UObject, class TWeakObjectPtrBase = FWeakObjectPtr> struct TWeakObjectPtr;

template <class T, class TWeakObjectPtrBase> struct TWeakObjectPtr : private TWeakObjectPtrBase
{
public:
	TWeakObjectPtr() = default;
	TWeakObjectPtr(decltype(nullptr)) {}
	/** Null makes an unset reference. */
	template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TWeakObjectPtr(U* InObject)
	    : TWeakObjectPtrBase(static_cast<const UObject*>(static_cast<T*>(InObject)))
	{
	}
	template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TWeakObjectPtr(const TWeakObjectPtr<U, TWeakObjectPtrBase>& Other)
	    : TWeakObjectPtrBase(static_cast<const TWeakObjectPtrBase&>(Other))
	{
	}

	/** The object; null when unset, once the object is gone, and (unless bEvenIfPendingKill) once it is marked pending kill. */
	T* Get(bool bEvenIfPendingKill = false) const { return static_cast<T*>(TWeakObjectPtrBase::Get(bEvenIfPendingKill)); }
	/** Whether Get would return an object. */
	bool IsValid(bool bEvenIfPendingKill = false) const { return TWeakObjectPtrBase::IsValid(bEvenIfPendingKill); }
	explicit operator bool() const { return IsValid(); }
	void Reset() { TWeakObjectPtrBase::Reset(); }

	/** The object, which must still be there. */
	T* operator->() const { return Get(); }
	T& operator*() const { return *Get(); }

	/** Equal when set to the same object, or when neither reads as an object any more. */
	template <class U> bool operator==(const TWeakObjectPtr<U, TWeakObjectPtrBase>& Other) const
	{
		return static_cast<const TWeakObjectPtrBase&>(*this) == static_cast<const TWeakObjectPtrBase&>(Other);
	}
	template <class U> bool operator!=(const TWeakObjectPtr<U, TWeakObjectPtrBase>& Other) const { return !(*this == Other); }

private:
	template <class, class> friend struct TWeakObjectPtr;
};
