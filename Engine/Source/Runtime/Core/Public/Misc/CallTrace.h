#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "HAL/Platform.h"
#include "Templates/Function.h"

#include <atomic>
#include <concepts>

class UObject;

/** An argument or result of a traced call: null, a boolean, a number, text, an object's name or a list. */
struct CORE_API FCallTraceValue
{
	enum class EKind : uint8
	{
		Null,
		Bool,
		Integer,
		Float,
		String,
		Object,
		Array,
		Record
	};

	EKind Kind = EKind::Null;
	bool bValue = false;
	int64 IntegerValue = 0;
	double FloatValue = 0.0;
	/** The text, or the object's name. */
	FString StringValue;
	/** Array: the elements; Record: the field values, named by Keys. */
	TArray<FCallTraceValue> Elements;
	TArray<FString> Keys;

	FCallTraceValue() = default;
	FCallTraceValue(bool bInValue);
	/** Every integer type but bool, which the overload above takes first. */
	template <std::integral T>
	FCallTraceValue(T InValue)
		: Kind(EKind::Integer)
		, IntegerValue(static_cast<int64>(InValue))
	{
	}
	template <std::floating_point T>
	FCallTraceValue(T InValue)
		: Kind(EKind::Float)
		, FloatValue(static_cast<double>(InValue))
	{
	}
	FCallTraceValue(const FString& InValue);
	FCallTraceValue(const TCHAR* InValue);
	FCallTraceValue(TArray<FCallTraceValue> InElements);

	/** An object by its name; null for a null object (CoreUObject's TraceObject fills the name). */
	static FCallTraceValue Object(const FString& Name);
	/** Named values: a function's out parameters beside its ReturnValue. */
	static FCallTraceValue Record(TArray<FString> InKeys, TArray<FCallTraceValue> InValues);
};

struct FCallTraceArgument
{
	const TCHAR* Name;
	FCallTraceValue Value;
};

/** A call into an engine or plug-in function that the trace covers. */
struct FCallTraceCall
{
	const TCHAR* Module;
	const TCHAR* Function;
	TArray<FCallTraceArgument> Arguments;
	FCallTraceValue Result;
};

/** A delegate bound to an object or unbound from it. */
struct FCallTraceBinding
{
	bool bBind = true;
	/** How: AddUObject, AddRaw, BindRaw, RemoveAll. */
	const TCHAR* Via = TEXT("");
	const void* Delegate = nullptr;
	/** The object for AddUObject; null for raw bindings and unbinding. */
	const UObject* Object = nullptr;
	const void* RawObject = nullptr;
	/** RemoveAll: how many bindings it removed. */
	int32 Removed = 0;
};

/**
 * Test hook: records the calls that instrumented engine and plug-in functions receive, and the
 * object-bound delegate bindings, for a tool that shows what a module does. Off until a handler
 * is set; then the instrumented functions pay one branch. Suspended per thread, so a tool's own
 * set-up stays out of the record. Set the handler before the engine boots and clear it after it
 * has shut down: handlers run on whatever thread makes the call.
 */
struct CORE_API FCallTrace
{
	using FCallHandler = TFunction<void(const FCallTraceCall& Call)>;
	using FBindingHandler = TFunction<void(const FCallTraceBinding& Binding)>;

	static void SetHandler(FCallHandler CallHandler, FBindingHandler BindingHandler);
	static void ClearHandler();

	static bool IsActive() { return bActive.load(std::memory_order_relaxed); }
	/** True while a FSuspendScope lives on the calling thread. */
	static bool IsSuspended();

	static void Record(const TCHAR* Module, const TCHAR* Function, TArray<FCallTraceArgument> Arguments, FCallTraceValue Result = FCallTraceValue());
	static void RecordBinding(const FCallTraceBinding& Binding);

	/** Nothing is recorded on this thread while it lives. */
	class CORE_API FSuspendScope
	{
	public:
		FSuspendScope();
		~FSuspendScope();
		FSuspendScope(const FSuspendScope&) = delete;
		FSuspendScope& operator=(const FSuspendScope&) = delete;
	};

	/** Records again on this thread while it lives, inside an FSuspendScope. */
	class CORE_API FResumeScope
	{
	public:
		FResumeScope();
		~FResumeScope();
		FResumeScope(const FResumeScope&) = delete;
		FResumeScope& operator=(const FResumeScope&) = delete;

	private:
		int32 SavedDepth;
	};

private:
	static std::atomic<bool> bActive;
};
