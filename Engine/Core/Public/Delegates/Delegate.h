// Single-cast and multicast delegates with the engine's binding kinds: static functions, lambdas, methods of
// plain objects (raw), of shared objects (SP) and of UObjects. Payload values given at binding time are passed
// after the call's own parameters.
//
// A UObject binding holds its object weakly: once the object has been destroyed or marked pending kill the
// binding reads as unbound. A raw binding must not be made for a UObject; that fails to compile, as it does in
// the engine. Core knows UObject by name only, so both the check and the UObject binding are templates that are
// instantiated where the caller's class is complete (and with it UObject and its weak pointer).
#pragma once

#include "CoreTypes.h"
#include "Delegates/IDelegateInstance.h"
#include "Misc/AssertionMacros.h"
#include "Templates/SharedPointer.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

class UObject;

namespace UE::Delegates::Private
{
/**
 * True for a class derived from UObject. Where UserClass is complete this needs only UObject's name: a pointer
 * converts to a pointer to UObject exactly when the class derives from it.
 */
template <typename UserClass> struct TIsDerivedFromUObject : std::bool_constant<std::is_convertible_v<UserClass*, const volatile UObject*>>
{
};

/** One binding of a delegate: what it calls, and whether what it calls is still there. */
template <typename RetType, typename... ParamTypes> class IBaseDelegateInstance
{
public:
	virtual ~IBaseDelegateInstance() = default;
	/** The object whose method the binding calls; null for static functions and lambdas. */
	virtual const void* GetObject() const { return nullptr; }
	/** False once the object the binding calls is gone. */
	virtual bool IsSafeToExecute() const = 0;
	/** Calls the binding, which must be safe to execute (a checked failure otherwise). */
	virtual RetType Execute(ParamTypes... Params) const = 0;
	/** Calls the binding when it is safe to execute and returns whether it did. */
	virtual bool ExecuteIfSafe(ParamTypes... Params) const = 0;
};

/** Calls Callable with Prefix (the object, for a method), the call's parameters and then the payload. */
template <typename RetType, typename CallableType, typename PayloadType, typename ParamsTupleType, typename... PrefixTypes>
RetType CallWithPayload(CallableType& Callable, const PayloadType& Payload, ParamsTupleType&& Params, PrefixTypes... Prefix)
{
	return std::apply(
	    [&](const auto&... Values) -> RetType
	    {
		    return std::apply([&](auto&&... Args) -> RetType { return std::invoke(Callable, Prefix..., std::forward<decltype(Args)>(Args)..., Values...); },
		                      std::forward<ParamsTupleType>(Params));
	    },
	    Payload);
}

template <typename FuncType, typename FunctorType, typename... VarTypes> class TFunctorDelegateInstance;

/** A static function or a lambda. */
template <typename RetType, typename... ParamTypes, typename FunctorType, typename... VarTypes>
class TFunctorDelegateInstance<RetType(ParamTypes...), FunctorType, VarTypes...> final : public IBaseDelegateInstance<RetType, ParamTypes...>
{
public:
	template <typename InFunctorType, typename... InVarTypes>
	explicit TFunctorDelegateInstance(InFunctorType&& InFunctor, InVarTypes&&... Vars)
	    : Functor(std::forward<InFunctorType>(InFunctor))
	    , Payload(std::forward<InVarTypes>(Vars)...)
	{
	}

	bool IsSafeToExecute() const override { return true; }
	RetType Execute(ParamTypes... Params) const override
	{
		return CallWithPayload<RetType>(Functor, Payload, std::forward_as_tuple(std::forward<ParamTypes>(Params)...));
	}
	bool ExecuteIfSafe(ParamTypes... Params) const override
	{
		(void)Execute(std::forward<ParamTypes>(Params)...);
		return true;
	}

private:
	/** A lambda declared mutable may change its captures. */
	mutable FunctorType Functor;
	std::tuple<VarTypes...> Payload;
};

template <typename FuncType, typename UserClass, typename MethodType, typename... VarTypes> class TRawMethodDelegateInstance;

/** A method of an object that the binding neither owns nor watches: the binder must unbind it before the object goes. */
template <typename RetType, typename... ParamTypes, typename UserClass, typename MethodType, typename... VarTypes>
class TRawMethodDelegateInstance<RetType(ParamTypes...), UserClass, MethodType, VarTypes...> final : public IBaseDelegateInstance<RetType, ParamTypes...>
{
	static_assert(!TIsDerivedFromUObject<UserClass>::value,
	              "Raw method delegates cannot be used with UObjects: bind a UObject with CreateUObject, BindUObject or AddUObject.");

public:
	template <typename... InVarTypes>
	TRawMethodDelegateInstance(UserClass* InUserObject, MethodType InMethod, InVarTypes&&... Vars)
	    : UserObject(InUserObject)
	    , Method(InMethod)
	    , Payload(std::forward<InVarTypes>(Vars)...)
	{
	}

	const void* GetObject() const override { return UserObject; }
	bool IsSafeToExecute() const override { return true; }
	RetType Execute(ParamTypes... Params) const override
	{
		return CallWithPayload<RetType>(Method, Payload, std::forward_as_tuple(std::forward<ParamTypes>(Params)...), UserObject);
	}
	bool ExecuteIfSafe(ParamTypes... Params) const override
	{
		(void)Execute(std::forward<ParamTypes>(Params)...);
		return true;
	}

private:
	UserClass* UserObject;
	MethodType Method;
	std::tuple<VarTypes...> Payload;
};

template <typename FuncType, typename UserClass, typename MethodType, typename... VarTypes> class TSPMethodDelegateInstance;

/** A method of a shared object; the binding ends with the object and keeps it alive while it runs. */
template <typename RetType, typename... ParamTypes, typename UserClass, typename MethodType, typename... VarTypes>
class TSPMethodDelegateInstance<RetType(ParamTypes...), UserClass, MethodType, VarTypes...> final : public IBaseDelegateInstance<RetType, ParamTypes...>
{
public:
	template <typename... InVarTypes>
	TSPMethodDelegateInstance(const std::shared_ptr<UserClass>& InUserObject, MethodType InMethod, InVarTypes&&... Vars)
	    : UserObject(InUserObject)
	    , RawObject(InUserObject.get())
	    , Method(InMethod)
	    , Payload(std::forward<InVarTypes>(Vars)...)
	{
	}

	const void* GetObject() const override { return RawObject; }
	bool IsSafeToExecute() const override { return !UserObject.expired(); }
	RetType Execute(ParamTypes... Params) const override
	{
		// Pinned before it is checked, so that another thread cannot end the object between check and call.
		const std::shared_ptr<UserClass> Pinned = UserObject.lock();
		check(Pinned != nullptr);
		return CallWithPayload<RetType>(Method, Payload, std::forward_as_tuple(std::forward<ParamTypes>(Params)...), Pinned.get());
	}
	bool ExecuteIfSafe(ParamTypes... Params) const override
	{
		const std::shared_ptr<UserClass> Pinned = UserObject.lock();
		if (Pinned == nullptr)
		{
			return false;
		}
		(void)CallWithPayload<RetType>(Method, Payload, std::forward_as_tuple(std::forward<ParamTypes>(Params)...), Pinned.get());
		return true;
	}

private:
	std::weak_ptr<UserClass> UserObject;
	/** For RemoveAll, which names the object by address, after the object may have gone. */
	const void* RawObject;
	MethodType Method;
	std::tuple<VarTypes...> Payload;
};

template <typename FuncType, typename UserClass, typename MethodType, typename... VarTypes> class TUObjectMethodDelegateInstance;

/**
 * A method of a UObject, held weakly: the binding ends once the object is destroyed or marked pending kill. It
 * does not keep the object alive while it runs: objects go on the game thread, where such bindings run.
 */
template <typename RetType, typename... ParamTypes, typename UserClass, typename MethodType, typename... VarTypes>
class TUObjectMethodDelegateInstance<RetType(ParamTypes...), UserClass, MethodType, VarTypes...> final : public IBaseDelegateInstance<RetType, ParamTypes...>
{
	static_assert(TIsDerivedFromUObject<UserClass>::value,
	              "UObject method delegates can only be used with UObjects: bind other objects with CreateRaw or CreateSP.");

public:
	template <typename... InVarTypes>
	TUObjectMethodDelegateInstance(UserClass* InUserObject, MethodType InMethod, InVarTypes&&... Vars)
	    : UserObject(InUserObject)
	    , Method(InMethod)
	    , Payload(std::forward<InVarTypes>(Vars)...)
	{
	}

	const void* GetObject() const override { return UserObject.Get(); }
	bool IsSafeToExecute() const override { return UserObject.IsValid(); }
	RetType Execute(ParamTypes... Params) const override
	{
		UserClass* Object = UserObject.Get();
		check(Object != nullptr);
		return CallWithPayload<RetType>(Method, Payload, std::forward_as_tuple(std::forward<ParamTypes>(Params)...), Object);
	}
	bool ExecuteIfSafe(ParamTypes... Params) const override
	{
		UserClass* Object = UserObject.Get();
		if (Object == nullptr)
		{
			return false;
		}
		(void)CallWithPayload<RetType>(Method, Payload, std::forward_as_tuple(std::forward<ParamTypes>(Params)...), Object);
		return true;
	}

private:
	TWeakObjectPtr<UserClass> UserObject;
	MethodType Method;
	std::tuple<VarTypes...> Payload;
};
} // namespace UE::Delegates::Private

template <typename FuncType> class TDelegate;

/**
 * A delegate with at most one binding. Copies share the binding. Not thread-safe: bind and execute it on one
 * thread, or guard it.
 */
template <typename RetType, typename... ParamTypes> class TDelegate<RetType(ParamTypes...)>
{
	using FInstance = UE::Delegates::Private::IBaseDelegateInstance<RetType, ParamTypes...>;
	using FFuncType = RetType(ParamTypes...);

public:
	TDelegate() = default;

	template <typename... VarTypes> static TDelegate CreateStatic(RetType (*Function)(ParamTypes..., std::decay_t<VarTypes>...), VarTypes&&... Vars)
	{
		return Make<UE::Delegates::Private::TFunctorDelegateInstance<FFuncType, decltype(Function), std::decay_t<VarTypes>...>>(
		    Function, std::forward<VarTypes>(Vars)...);
	}
	template <typename FunctorType, typename... VarTypes> static TDelegate CreateLambda(FunctorType&& Functor, VarTypes&&... Vars)
	{
		return Make<UE::Delegates::Private::TFunctorDelegateInstance<FFuncType, std::decay_t<FunctorType>, std::decay_t<VarTypes>...>>(
		    std::forward<FunctorType>(Functor), std::forward<VarTypes>(Vars)...);
	}
	/** Binds a method of an object that the delegate neither keeps alive nor watches; refuses a UObject at compile time. */
	template <typename UserClass, typename MethodType, typename... VarTypes>
	static TDelegate CreateRaw(UserClass* Object, MethodType Method, VarTypes&&... Vars)
	{
		return Make<UE::Delegates::Private::TRawMethodDelegateInstance<FFuncType, UserClass, MethodType, std::decay_t<VarTypes>...>>(
		    Object, Method, std::forward<VarTypes>(Vars)...);
	}
	/** Binds a method of a shared object; the binding ends when the object does. */
	template <typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
	static TDelegate CreateSP(const TSharedRef<UserClass, Mode>& Object, MethodType Method, VarTypes&&... Vars)
	{
		return Make<UE::Delegates::Private::TSPMethodDelegateInstance<FFuncType, UserClass, MethodType, std::decay_t<VarTypes>...>>(
		    Object.GetStdPointer(), Method, std::forward<VarTypes>(Vars)...);
	}
	template <typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
	static TDelegate CreateSP(const TSharedPtr<UserClass, Mode>& Object, MethodType Method, VarTypes&&... Vars)
	{
		return CreateSP(Object.ToSharedRef(), Method, std::forward<VarTypes>(Vars)...);
	}
	/**
	 * Binds a method of a UObject, held weakly: once the object is destroyed or marked pending kill the delegate
	 * is unbound. A const object takes const methods only.
	 */
	template <typename UserClass, typename MethodType, typename... VarTypes>
	static TDelegate CreateUObject(UserClass* Object, MethodType Method, VarTypes&&... Vars)
	{
		return Make<UE::Delegates::Private::TUObjectMethodDelegateInstance<FFuncType, UserClass, MethodType, std::decay_t<VarTypes>...>>(
		    Object, Method, std::forward<VarTypes>(Vars)...);
	}

	template <typename... ArgTypes> void BindStatic(ArgTypes&&... Args) { *this = CreateStatic(std::forward<ArgTypes>(Args)...); }
	template <typename... ArgTypes> void BindLambda(ArgTypes&&... Args) { *this = CreateLambda(std::forward<ArgTypes>(Args)...); }
	template <typename... ArgTypes> void BindRaw(ArgTypes&&... Args) { *this = CreateRaw(std::forward<ArgTypes>(Args)...); }
	template <typename... ArgTypes> void BindSP(ArgTypes&&... Args) { *this = CreateSP(std::forward<ArgTypes>(Args)...); }
	template <typename... ArgTypes> void BindUObject(ArgTypes&&... Args) { *this = CreateUObject(std::forward<ArgTypes>(Args)...); }
	void Unbind()
	{
		Instance.reset();
		Handle.Reset();
	}

	/** False when nothing is bound or the bound shared object or UObject is gone. */
	bool IsBound() const { return Instance != nullptr && Instance->IsSafeToExecute(); }
	FDelegateHandle GetHandle() const { return Handle; }
	/** Calls the binding, which must be bound (a checked failure otherwise). */
	RetType Execute(ParamTypes... Params) const
	{
		check(Instance != nullptr);
		return Instance->Execute(std::forward<ParamTypes>(Params)...);
	}
	/** Calls the binding when it is bound; only for delegates without a result. */
	bool ExecuteIfBound(ParamTypes... Params) const
	{
		static_assert(std::is_void_v<RetType>, "ExecuteIfBound needs a delegate without a result");
		return Instance != nullptr && Instance->ExecuteIfSafe(std::forward<ParamTypes>(Params)...);
	}

private:
	template <typename> friend class TMulticastDelegate;

	template <typename InstanceType, typename... ArgTypes> static TDelegate Make(ArgTypes&&... Args)
	{
		TDelegate Delegate;
		Delegate.Instance = std::make_shared<const InstanceType>(std::forward<ArgTypes>(Args)...);
		Delegate.Handle = FDelegateHandle(FDelegateHandle::GenerateNewHandle);
		return Delegate;
	}

	std::shared_ptr<const FInstance> Instance;
	FDelegateHandle Handle;
};

template <typename FuncType> class TMulticastDelegate;

/**
 * A delegate with any number of bindings, called in the order they were added.
 *
 * Threads: none of its own. Add, Remove, RemoveAll, Clear, IsBound and Broadcast of one delegate belong to one
 * thread at a time; its owner says which, or guards it. A binding may add or remove bindings, its own included,
 * during the Broadcast that calls it.
 */
template <typename... ParamTypes> class TMulticastDelegate<void(ParamTypes...)>
{
public:
	using FDelegate = TDelegate<void(ParamTypes...)>;

	TMulticastDelegate() = default;
	TMulticastDelegate(const TMulticastDelegate&) = delete;
	TMulticastDelegate& operator=(const TMulticastDelegate&) = delete;

	/** Adds a binding and returns its handle; an unbound delegate adds nothing and gives an invalid handle. */
	FDelegateHandle Add(const FDelegate& Delegate)
	{
		if (Delegate.Instance == nullptr)
		{
			return FDelegateHandle();
		}
		Entries.push_back(FEntry{Delegate.Instance, Delegate.Handle});
		return Delegate.Handle;
	}
	template <typename... ArgTypes> FDelegateHandle AddStatic(ArgTypes&&... Args) { return Add(FDelegate::CreateStatic(std::forward<ArgTypes>(Args)...)); }
	template <typename... ArgTypes> FDelegateHandle AddLambda(ArgTypes&&... Args) { return Add(FDelegate::CreateLambda(std::forward<ArgTypes>(Args)...)); }
	template <typename... ArgTypes> FDelegateHandle AddRaw(ArgTypes&&... Args) { return Add(FDelegate::CreateRaw(std::forward<ArgTypes>(Args)...)); }
	template <typename... ArgTypes> FDelegateHandle AddSP(ArgTypes&&... Args) { return Add(FDelegate::CreateSP(std::forward<ArgTypes>(Args)...)); }
	template <typename... ArgTypes> FDelegateHandle AddUObject(ArgTypes&&... Args) { return Add(FDelegate::CreateUObject(std::forward<ArgTypes>(Args)...)); }

	/** Removes the binding with this handle; true when there was one. An invalid or unknown handle removes nothing. */
	bool Remove(FDelegateHandle Handle)
	{
		if (!Handle.IsValid())
		{
			return false;
		}
		for (FEntry& Entry : Entries)
		{
			if (Entry.Handle == Handle && Entry.Instance)
			{
				Unbind(Entry);
				return true;
			}
		}
		return false;
	}
	/** Removes every method binding made for Object; returns how many. */
	int32 RemoveAll(const void* Object)
	{
		int32 Removed = 0;
		for (FEntry& Entry : Entries)
		{
			if (Entry.Instance && Entry.Instance->GetObject() == Object)
			{
				Unbind(Entry);
				++Removed;
			}
		}
		return Removed;
	}
	void Clear()
	{
		for (FEntry& Entry : Entries)
		{
			Unbind(Entry);
		}
	}

	/** True while some binding's object is still there. */
	bool IsBound() const
	{
		return std::any_of(Entries.begin(), Entries.end(), [](const FEntry& Entry) { return Entry.Instance && Entry.Instance->IsSafeToExecute(); });
	}

	/** Calls every live binding that was added before this call began; safe with none. */
	void Broadcast(ParamTypes... Params) const
	{
		++BroadcastDepth;
		const size_t Count = Entries.size();
		for (size_t Index = 0; Index < Count; ++Index)
		{
			// Held so that a binding that removes itself does not destroy the instance that is running.
			const std::shared_ptr<const FInstance> Instance = Entries[Index].Instance;
			if (Instance)
			{
				Instance->ExecuteIfSafe(Params...);
			}
		}
		if (--BroadcastDepth == 0)
		{
			Compact();
		}
	}

private:
	using FInstance = UE::Delegates::Private::IBaseDelegateInstance<void, ParamTypes...>;

	struct FEntry
	{
		/** Null once removed. */
		std::shared_ptr<const FInstance> Instance;
		FDelegateHandle Handle;
	};

	void Unbind(FEntry& Entry)
	{
		Entry.Instance.reset();
		if (BroadcastDepth == 0)
		{
			Compact();
		}
	}

	void Compact() const
	{
		Entries.erase(std::remove_if(Entries.begin(), Entries.end(), [](const FEntry& Entry) { return !Entry.Instance; }), Entries.end());
	}

	/** Removed bindings stay as empty entries while a Broadcast runs, so that its indices stay right. */
	mutable std::vector<FEntry> Entries;
	mutable int32 BroadcastDepth = 0;
};

#define DECLARE_DELEGATE(DelegateName) typedef TDelegate<void()> DelegateName;
#define DECLARE_DELEGATE_OneParam(DelegateName, Param1Type) typedef TDelegate<void(Param1Type)> DelegateName;
#define DECLARE_DELEGATE_TwoParams(DelegateName, Param1Type, Param2Type) typedef TDelegate<void(Param1Type, Param2Type)> DelegateName;
#define DECLARE_DELEGATE_RetVal(RetValType, DelegateName) typedef TDelegate<RetValType()> DelegateName;
#define DECLARE_DELEGATE_RetVal_OneParam(RetValType, DelegateName, Param1Type) typedef TDelegate<RetValType(Param1Type)> DelegateName;
#define DECLARE_MULTICAST_DELEGATE(DelegateName) typedef TMulticastDelegate<void()> DelegateName;
#define DECLARE_MULTICAST_DELEGATE_OneParam(DelegateName, Param1Type) typedef TMulticastDelegate<void(Param1Type)> DelegateName;
#define DECLARE_MULTICAST_DELEGATE_TwoParams(DelegateName, Param1Type, Param2Type) typedef TMulticastDelegate<void(Param1Type, Param2Type)> DelegateName;

DECLARE_DELEGATE(FSimpleDelegate)
DECLARE_MULTICAST_DELEGATE(FSimpleMulticastDelegate)
