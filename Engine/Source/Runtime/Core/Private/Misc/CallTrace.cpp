#include "Misc/CallTrace.h"

std::atomic<bool> FCallTrace::bActive{false};

namespace
{
	FCallTrace::FCallHandler GCallHandler;
	FCallTrace::FBindingHandler GBindingHandler;
	thread_local int32 GSuspendDepth = 0;
} // namespace

FCallTraceValue::FCallTraceValue(bool bInValue)
	: Kind(EKind::Bool)
	, bValue(bInValue)
{
}

FCallTraceValue::FCallTraceValue(const FString& InValue)
	: Kind(EKind::String)
	, StringValue(InValue)
{
}

FCallTraceValue::FCallTraceValue(const TCHAR* InValue)
	: Kind(EKind::String)
	, StringValue(InValue)
{
}

FCallTraceValue::FCallTraceValue(TArray<FCallTraceValue> InElements)
	: Kind(EKind::Array)
	, Elements(std::move(InElements))
{
}

FCallTraceValue FCallTraceValue::Object(const FString& Name)
{
	FCallTraceValue Value(Name);
	Value.Kind = EKind::Object;
	return Value;
}

FCallTraceValue FCallTraceValue::Record(TArray<FString> InKeys, TArray<FCallTraceValue> InValues)
{
	FCallTraceValue Value(std::move(InValues));
	Value.Kind = EKind::Record;
	Value.Keys = std::move(InKeys);
	return Value;
}

void FCallTrace::SetHandler(FCallHandler CallHandler, FBindingHandler BindingHandler)
{
	GCallHandler = std::move(CallHandler);
	GBindingHandler = std::move(BindingHandler);
	bActive.store(GCallHandler || GBindingHandler);
}

void FCallTrace::ClearHandler()
{
	bActive.store(false);
	GCallHandler = nullptr;
	GBindingHandler = nullptr;
}

bool FCallTrace::IsSuspended()
{
	return GSuspendDepth > 0;
}

void FCallTrace::Record(const TCHAR* Module, const TCHAR* Function, TArray<FCallTraceArgument> Arguments, FCallTraceValue Result)
{
	if (!IsActive() || IsSuspended() || !GCallHandler)
	{
		return;
	}
	GCallHandler(FCallTraceCall{Module, Function, std::move(Arguments), std::move(Result)});
}

void FCallTrace::RecordBinding(const FCallTraceBinding& Binding)
{
	if (!IsActive() || IsSuspended() || !GBindingHandler)
	{
		return;
	}
	GBindingHandler(Binding);
}

FCallTrace::FSuspendScope::FSuspendScope()
{
	++GSuspendDepth;
}

FCallTrace::FSuspendScope::~FSuspendScope()
{
	--GSuspendDepth;
}

FCallTrace::FResumeScope::FResumeScope()
	: SavedDepth(GSuspendDepth)
{
	GSuspendDepth = 0;
}

FCallTrace::FResumeScope::~FResumeScope()
{
	GSuspendDepth = SavedDepth;
}
