// TWeakObjectPtr: a reference to an object that does not keep it alive.
// Objects here are never garbage-collected: whoever made an object deletes it, so this reference cannot notice
// that its object is gone. It is exactly as valid as the raw pointer it holds; a holder must drop it (Reset)
// before the object is deleted, as a settings registration is removed before its object goes.
#pragma once

#include <type_traits>

class UObject;

template <class T = UObject>
class TWeakObjectPtr
{
public:
	TWeakObjectPtr() = default;
	TWeakObjectPtr(decltype(nullptr)) {}
	/** Null makes an unset reference. */
	template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TWeakObjectPtr(U* InObject) : Object(InObject) {}
	template <class U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TWeakObjectPtr(const TWeakObjectPtr<U>& Other) : Object(Other.Get()) {}

	/** The object, or null when unset. */
	T* Get() const { return Object; }
	bool IsValid() const { return Object != nullptr; }
	explicit operator bool() const { return IsValid(); }
	void Reset() { Object = nullptr; }

	/** The object, which must be set. */
	T* operator->() const { return Object; }
	T& operator*() const { return *Object; }

	template <class U>
	bool operator==(const TWeakObjectPtr<U>& Other) const { return Object == Other.Get(); }
	template <class U>
	bool operator!=(const TWeakObjectPtr<U>& Other) const { return Object != Other.Get(); }

private:
	T* Object = nullptr;
};
