// Single-cast and multicast delegates with the engine's binding kinds (static, raw, lambda, shared pointer).
// Payload values given at binding time are passed after the call's own parameters.
#pragma once

#include "CoreTypes.h"
#include "Delegates/IDelegateInstance.h"
#include "Templates/SharedPointer.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

namespace UE::Delegates::Private
{
/** One bound callable, with the owner whose life limits it (shared-pointer bindings) and its raw object. */
template <typename RetType, typename... ParamTypes>
struct TBinding
{
	std::function<RetType(ParamTypes...)> Function;
	std::weak_ptr<const void> Owner;
	bool bHasOwner = false;
	const void* Object = nullptr;

	bool IsAlive() const { return Function && (!bHasOwner || !Owner.expired()); }
};

template <typename RetType, typename... ParamTypes, typename CallableType, typename... VarTypes>
TBinding<RetType, ParamTypes...> MakeBinding(CallableType&& Callable, VarTypes&&... Vars)
{
	TBinding<RetType, ParamTypes...> Binding;
	Binding.Function = [Callable = std::forward<CallableType>(Callable), Payload = std::make_tuple(std::forward<VarTypes>(Vars)...)](ParamTypes... Params) mutable -> RetType {
		return std::apply([&](auto&... Values) -> RetType { return std::invoke(Callable, Params..., Values...); }, Payload);
	};
	return Binding;
}

template <typename RetType, typename... ParamTypes, typename UserClass, typename MethodType, typename... VarTypes>
TBinding<RetType, ParamTypes...> MakeMethodBinding(UserClass* Object, MethodType Method, VarTypes&&... Vars)
{
	TBinding<RetType, ParamTypes...> Binding = MakeBinding<RetType, ParamTypes...>(
		[Object, Method](ParamTypes... Params, std::decay_t<VarTypes>&... Values) -> RetType { return (Object->*Method)(Params..., Values...); },
		std::forward<VarTypes>(Vars)...);
	Binding.Object = Object;
	return Binding;
}

template <typename RetType, typename... ParamTypes, typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
TBinding<RetType, ParamTypes...> MakeSharedBinding(const TSharedRef<UserClass, Mode>& Object, MethodType Method, VarTypes&&... Vars)
{
	TBinding<RetType, ParamTypes...> Binding = MakeMethodBinding<RetType, ParamTypes...>(&Object.Get(), Method, std::forward<VarTypes>(Vars)...);
	Binding.Owner = std::weak_ptr<const void>(Object.GetStdPointer());
	Binding.bHasOwner = true;
	return Binding;
}
} // namespace UE::Delegates::Private

template <typename FuncType>
class TDelegate;

/** A delegate with at most one binding. Not thread-safe: bind and execute it on one thread, or guard it. */
template <typename RetType, typename... ParamTypes>
class TDelegate<RetType(ParamTypes...)>
{
	using FBinding = UE::Delegates::Private::TBinding<RetType, ParamTypes...>;

public:
	TDelegate() = default;

	template <typename... VarTypes>
	static TDelegate CreateStatic(RetType (*Function)(ParamTypes..., std::decay_t<VarTypes>...), VarTypes&&... Vars)
	{
		return TDelegate(UE::Delegates::Private::MakeBinding<RetType, ParamTypes...>(Function, std::forward<VarTypes>(Vars)...));
	}
	template <typename FunctorType, typename... VarTypes>
	static TDelegate CreateLambda(FunctorType&& Functor, VarTypes&&... Vars)
	{
		return TDelegate(UE::Delegates::Private::MakeBinding<RetType, ParamTypes...>(std::forward<FunctorType>(Functor), std::forward<VarTypes>(Vars)...));
	}
	/** Binds a method of an object that the delegate does not keep alive. */
	template <typename UserClass, typename MethodType, typename... VarTypes>
	static TDelegate CreateRaw(UserClass* Object, MethodType Method, VarTypes&&... Vars)
	{
		return TDelegate(UE::Delegates::Private::MakeMethodBinding<RetType, ParamTypes...>(Object, Method, std::forward<VarTypes>(Vars)...));
	}
	/** Binds a method of a shared object; the binding ends when the object does. */
	template <typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
	static TDelegate CreateSP(const TSharedRef<UserClass, Mode>& Object, MethodType Method, VarTypes&&... Vars)
	{
		return TDelegate(UE::Delegates::Private::MakeSharedBinding<RetType, ParamTypes...>(Object, Method, std::forward<VarTypes>(Vars)...));
	}
	template <typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
	static TDelegate CreateSP(const TSharedPtr<UserClass, Mode>& Object, MethodType Method, VarTypes&&... Vars)
	{
		return CreateSP(Object.ToSharedRef(), Method, std::forward<VarTypes>(Vars)...);
	}

	template <typename... ArgTypes>
	void BindStatic(ArgTypes&&... Args) { *this = CreateStatic(std::forward<ArgTypes>(Args)...); }
	template <typename... ArgTypes>
	void BindLambda(ArgTypes&&... Args) { *this = CreateLambda(std::forward<ArgTypes>(Args)...); }
	template <typename... ArgTypes>
	void BindRaw(ArgTypes&&... Args) { *this = CreateRaw(std::forward<ArgTypes>(Args)...); }
	template <typename... ArgTypes>
	void BindSP(ArgTypes&&... Args) { *this = CreateSP(std::forward<ArgTypes>(Args)...); }
	void Unbind() { Binding = FBinding(); Handle.Reset(); }

	/** False when nothing is bound or the bound shared object is gone. */
	bool IsBound() const { return Binding.IsAlive(); }
	FDelegateHandle GetHandle() const { return Handle; }
	/** Calls the binding, which must be bound. */
	RetType Execute(ParamTypes... Params) const
	{
		// The owner is pinned before it is checked, so that another thread cannot end it between check and call.
		const std::shared_ptr<const void> KeepAlive = Binding.Owner.lock();
		check(Binding.Function && (!Binding.bHasOwner || KeepAlive));
		return Binding.Function(Params...);
	}
	/** Calls the binding when there is one; only for delegates without a result. */
	bool ExecuteIfBound(ParamTypes... Params) const
	{
		static_assert(std::is_void_v<RetType>, "ExecuteIfBound needs a delegate without a result");
		const std::shared_ptr<const void> KeepAlive = Binding.Owner.lock();
		if (!Binding.Function || (Binding.bHasOwner && !KeepAlive))
		{
			return false;
		}
		Binding.Function(Params...);
		return true;
	}

private:
	template <typename>
	friend class TMulticastDelegate;

	explicit TDelegate(FBinding InBinding) : Binding(std::move(InBinding)), Handle(FDelegateHandle::GenerateNewHandle) {}

	FBinding Binding;
	FDelegateHandle Handle;
};

template <typename FuncType>
class TMulticastDelegate;

/**
 * A delegate with any number of bindings, called in the order they were added.
 *
 * Threads: Add, Remove and Broadcast may be called from any thread. One recursive lock serialises them, and
 * Broadcast holds it while it calls the bindings, so a Remove on another thread returns only after a running
 * Broadcast has finished; once Remove has returned, the removed binding is never called again. A binding may
 * add or remove bindings, its own included, during the Broadcast that calls it. A binding must not wait for
 * another thread that is itself adding to or removing from the same delegate.
 */
template <typename... ParamTypes>
class TMulticastDelegate<void(ParamTypes...)>
{
	using FDelegate = TDelegate<void(ParamTypes...)>;
	using FBinding = typename FDelegate::FBinding;

public:
	TMulticastDelegate() = default;
	TMulticastDelegate(const TMulticastDelegate&) = delete;
	TMulticastDelegate& operator=(const TMulticastDelegate&) = delete;

	/** Adds a binding and returns its handle; an unbound delegate adds nothing and gives an invalid handle. */
	FDelegateHandle Add(const FDelegate& Delegate)
	{
		if (!Delegate.Binding.Function)
		{
			return FDelegateHandle();
		}
		std::lock_guard<std::recursive_mutex> Guard(Lock);
		Entries.push_back(FEntry{std::make_shared<const FBinding>(Delegate.Binding), Delegate.Handle});
		return Delegate.Handle;
	}
	template <typename... ArgTypes>
	FDelegateHandle AddStatic(ArgTypes&&... Args) { return Add(FDelegate::CreateStatic(std::forward<ArgTypes>(Args)...)); }
	template <typename... ArgTypes>
	FDelegateHandle AddLambda(ArgTypes&&... Args) { return Add(FDelegate::CreateLambda(std::forward<ArgTypes>(Args)...)); }
	template <typename... ArgTypes>
	FDelegateHandle AddRaw(ArgTypes&&... Args) { return Add(FDelegate::CreateRaw(std::forward<ArgTypes>(Args)...)); }
	template <typename... ArgTypes>
	FDelegateHandle AddSP(ArgTypes&&... Args) { return Add(FDelegate::CreateSP(std::forward<ArgTypes>(Args)...)); }

	/** Removes the binding with this handle; true when there was one. An invalid or unknown handle removes nothing. */
	bool Remove(FDelegateHandle Handle)
	{
		if (!Handle.IsValid())
		{
			return false;
		}
		std::lock_guard<std::recursive_mutex> Guard(Lock);
		for (FEntry& Entry : Entries)
		{
			if (Entry.Handle == Handle && Entry.Binding)
			{
				Unbind(Entry);
				return true;
			}
		}
		return false;
	}
	/** Removes every raw or shared-pointer binding made for Object; returns how many. */
	int32 RemoveAll(const void* Object)
	{
		std::lock_guard<std::recursive_mutex> Guard(Lock);
		int32 Removed = 0;
		for (FEntry& Entry : Entries)
		{
			if (Entry.Binding && Entry.Binding->Object == Object)
			{
				Unbind(Entry);
				++Removed;
			}
		}
		return Removed;
	}
	void Clear()
	{
		std::lock_guard<std::recursive_mutex> Guard(Lock);
		for (FEntry& Entry : Entries)
		{
			Unbind(Entry);
		}
	}

	bool IsBound() const
	{
		std::lock_guard<std::recursive_mutex> Guard(Lock);
		for (const FEntry& Entry : Entries)
		{
			if (Entry.Binding && Entry.Binding->IsAlive())
			{
				return true;
			}
		}
		return false;
	}

	/** Calls every live binding that was added before this call began; safe with none. */
	void Broadcast(ParamTypes... Params) const
	{
		std::lock_guard<std::recursive_mutex> Guard(Lock);
		++BroadcastDepth;
		const size_t Count = Entries.size();
		for (size_t Index = 0; Index < Count; ++Index)
		{
			// Held so that a binding that removes itself does not destroy the callable that is running.
			const std::shared_ptr<const FBinding> Binding = Entries[Index].Binding;
			if (Binding && Binding->Function)
			{
				// Pinned before it is checked, so that another thread cannot end the owner between check and call.
				const std::shared_ptr<const void> KeepAlive = Binding->Owner.lock();
				if (!Binding->bHasOwner || KeepAlive)
				{
					Binding->Function(Params...);
				}
			}
		}
		if (--BroadcastDepth == 0)
		{
			Compact();
		}
	}

private:
	struct FEntry
	{
		/** Null once removed. */
		std::shared_ptr<const FBinding> Binding;
		FDelegateHandle Handle;
	};

	void Unbind(FEntry& Entry)
	{
		Entry.Binding.reset();
		if (BroadcastDepth == 0)
		{
			Compact();
		}
	}

	void Compact() const
	{
		Entries.erase(std::remove_if(Entries.begin(), Entries.end(), [](const FEntry& Entry) { return !Entry.Binding; }), Entries.end());
	}

	/** Protects Entries and BroadcastDepth, and is held for a whole Broadcast. */
	mutable std::recursive_mutex Lock;
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
