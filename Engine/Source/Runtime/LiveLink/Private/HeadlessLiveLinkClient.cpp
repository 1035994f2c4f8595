#include "HeadlessLiveLinkClient.h"

#include "LiveLinkSourceSettings.h"
#include "Misc/ScopeLock.h"
#include "UObject/CallTraceObject.h"

namespace
{
	constexpr const TCHAR* TraceModule = TEXT("LiveLink");
}

// A source is shown by its place in the source list, as scenarios list them; a source that
// is gone by its id. Called with Lock held.
FCallTraceValue FHeadlessLiveLinkClient::TraceSource(const FGuid& SourceGuid) const
{
	for (int32 Index = 0; Index < Sources.Num(); ++Index)
	{
		if (Sources[Index].Guid == SourceGuid)
		{
			return Index;
		}
	}
	return SourceGuid.ToString();
}

FCallTraceValue FHeadlessLiveLinkClient::TraceSubjectKey(const FLiveLinkSubjectKey& SubjectKey) const
{
	return FCallTraceValue::Record({TEXT("Source"), TEXT("SubjectName")}, {TraceSource(SubjectKey.Source), SubjectKey.SubjectName.Name.ToString()});
}

FHeadlessLiveLinkClient& FHeadlessLiveLinkClient::Get()
{
	static FHeadlessLiveLinkClient* Client = new FHeadlessLiveLinkClient();
	return *Client;
}

void FHeadlessLiveLinkClient::Register()
{
	IModularFeatures::Get().RegisterModularFeature(ModularFeatureName, &Get());
}

void FHeadlessLiveLinkClient::Unregister()
{
	IModularFeatures::Get().UnregisterModularFeature(ModularFeatureName, &Get());
}

FGuid FHeadlessLiveLinkClient::AddSource(ULiveLinkSourceSettings* Settings, bool bPendingKill)
{
	FScopeLock Guard(&Lock);
	FSource& Source = Sources.AddDefaulted_GetRef();
	Source.Guid = FGuid::NewGuid();
	Source.Settings = Settings;
	Source.bPendingKill = bPendingKill;
	return Source.Guid;
}

void FHeadlessLiveLinkClient::RemoveSource(FGuid SourceGuid)
{
	FScopeLock Guard(&Lock);
	Sources.RemoveAll([&SourceGuid](const FSource& Source) { return Source.Guid == SourceGuid; });
	Subjects.RemoveAll([&SourceGuid](const FSubject& Subject) { return Subject.Key.Source == SourceGuid; });
	RebuildIndex();
}

void FHeadlessLiveLinkClient::AddSubject(const FLiveLinkSubjectKey& SubjectKey, UObject* Settings, TSubclassOf<ULiveLinkRole> Role, bool bEnabled,
	bool bVirtual)
{
	FScopeLock Guard(&Lock);
	FSubject* Subject = Subjects.FindByPredicate([&SubjectKey](const FSubject& Candidate) { return Candidate.Key == SubjectKey; });
	if (!Subject)
	{
		Subject = &Subjects.AddDefaulted_GetRef();
		Subject->Key = SubjectKey;
	}
	Subject->Settings = Settings;
	Subject->Role = Role;
	Subject->bEnabled = bEnabled;
	Subject->bVirtual = bVirtual;
	RebuildIndex();
}

void FHeadlessLiveLinkClient::SetSubjectFrame(FLiveLinkSubjectName SubjectName, UScriptStruct* FrameStruct, const void* FrameData)
{
	FScopeLock Guard(&Lock);
	for (FSubject& Subject : Subjects)
	{
		if (Subject.Key.SubjectName == SubjectName)
		{
			Subject.Frame.InitializeWith(FrameStruct, FrameData);
		}
	}
}

void FHeadlessLiveLinkClient::ClearSubjectFrame(FLiveLinkSubjectName SubjectName)
{
	SetSubjectFrame(SubjectName, nullptr, nullptr);
}

void FHeadlessLiveLinkClient::Reset()
{
	FScopeLock Guard(&Lock);
	Sources.Empty();
	Subjects.Empty();
	RebuildIndex();
	EvaluateCount = 0;
}

TArray<FGuid> FHeadlessLiveLinkClient::GetSources(bool bEvenIfPendingKill) const
{
	FScopeLock Guard(&Lock);
	TArray<FGuid> Result;
	for (const FSource& Source : Sources)
	{
		if (bEvenIfPendingKill || !Source.bPendingKill)
		{
			Result.Add(Source.Guid);
		}
	}
	if (FCallTrace::IsActive())
	{
		TArray<FCallTraceValue> Traced;
		for (const FGuid& Guid : Result)
		{
			Traced.Add(TraceSource(Guid));
		}
		FCallTrace::Record(TraceModule, TEXT("GetSources"), {{TEXT("bEvenIfPendingKill"), bEvenIfPendingKill}}, FCallTraceValue(Traced));
	}
	return Result;
}

ULiveLinkSourceSettings* FHeadlessLiveLinkClient::GetSourceSettings(const FGuid& SourceGuid) const
{
	FScopeLock Guard(&Lock);
	const FSource* Source = Sources.FindByPredicate([&SourceGuid](const FSource& Candidate) { return Candidate.Guid == SourceGuid; });
	ULiveLinkSourceSettings* Settings = Source ? Source->Settings.Get() : nullptr;
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TraceModule, TEXT("GetSourceSettings"), {{TEXT("SourceKey"), TraceSource(SourceGuid)}}, TraceObject(Settings));
	}
	return Settings;
}

TArray<FLiveLinkSubjectKey> FHeadlessLiveLinkClient::GetSubjects(bool bIncludeDisabledSubject, bool bIncludeVirtualSubject) const
{
	FScopeLock Guard(&Lock);
	TArray<FLiveLinkSubjectKey> Result;
	for (const FSubject& Subject : Subjects)
	{
		if ((bIncludeDisabledSubject || Subject.bEnabled) && (bIncludeVirtualSubject || !Subject.bVirtual))
		{
			Result.Add(Subject.Key);
		}
	}
	if (FCallTrace::IsActive())
	{
		TArray<FCallTraceValue> Traced;
		for (const FLiveLinkSubjectKey& Key : Result)
		{
			Traced.Add(TraceSubjectKey(Key));
		}
		FCallTrace::Record(TraceModule, TEXT("GetSubjects"),
			{{TEXT("bIncludeDisabledSubject"), bIncludeDisabledSubject}, {TEXT("bIncludeVirtualSubject"), bIncludeVirtualSubject}}, FCallTraceValue(Traced));
	}
	return Result;
}

UObject* FHeadlessLiveLinkClient::GetSubjectSettings(const FLiveLinkSubjectKey& SubjectKey) const
{
	FScopeLock Guard(&Lock);
	const auto Found = SubjectIndexByKey.find(SubjectKey);
	UObject* Settings = Found != SubjectIndexByKey.end() ? Subjects[Found->second].Settings.Get() : nullptr;
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TraceModule, TEXT("GetSubjectSettings"), {{TEXT("SubjectKey"), TraceSubjectKey(SubjectKey)}}, TraceObject(Settings));
	}
	return Settings;
}

TSubclassOf<ULiveLinkRole> FHeadlessLiveLinkClient::GetSubjectRole_AnyThread(FLiveLinkSubjectName SubjectName) const
{
	FScopeLock Guard(&Lock);
	const FSubject* Subject = FindEnabledSubject(SubjectName);
	const TSubclassOf<ULiveLinkRole> Role = Subject ? Subject->Role : TSubclassOf<ULiveLinkRole>();
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(TraceModule, TEXT("GetSubjectRole_AnyThread"), {{TEXT("SubjectName"), SubjectName.Name.ToString()}}, TraceObject(Role.Get()));
	}
	return Role;
}

bool FHeadlessLiveLinkClient::EvaluateFrame_AnyThread(FLiveLinkSubjectName SubjectName, TSubclassOf<ULiveLinkRole> Role, FLiveLinkSubjectFrameData& OutFrame)
{
	const bool bEvaluated = EvaluateFrame(SubjectName, Role, OutFrame);
	if (FCallTrace::IsActive())
	{
		FCallTrace::Record(
			TraceModule, TEXT("EvaluateFrame_AnyThread"), {{TEXT("SubjectName"), SubjectName.Name.ToString()}, {TEXT("Role"), TraceObject(Role.Get())}}, bEvaluated);
	}
	return bEvaluated;
}

bool FHeadlessLiveLinkClient::EvaluateFrame(FLiveLinkSubjectName SubjectName, TSubclassOf<ULiveLinkRole> Role, FLiveLinkSubjectFrameData& OutFrame)
{
	++EvaluateCount;
	OutFrame.FrameData.Reset();

	FScopeLock Guard(&Lock);
	const FSubject* Subject = FindEnabledSubject(SubjectName);
	if (!Subject || !Subject->Frame.IsValid())
	{
		return false;
	}
	// A subject answers for its own role and the roles it derives from, as the engine's client does.
	UClass* SubjectRole = Subject->Role.Get();
	if (Role.Get() && SubjectRole && !SubjectRole->IsChildOf(Role.Get()))
	{
		return false;
	}
	OutFrame.FrameData = Subject->Frame;
	return true;
}

const FHeadlessLiveLinkClient::FSubject* FHeadlessLiveLinkClient::FindEnabledSubject(FLiveLinkSubjectName SubjectName) const
{
	const auto Found = EnabledSubjectIndexByName.find(SubjectName.Name.GetComparisonIndex());
	return Found != EnabledSubjectIndexByName.end() ? &Subjects[Found->second] : nullptr;
}

void FHeadlessLiveLinkClient::RebuildIndex()
{
	SubjectIndexByKey.clear();
	EnabledSubjectIndexByName.clear();
	for (int32 Index = 0; Index < Subjects.Num(); ++Index)
	{
		const FSubject& Subject = Subjects[Index];
		SubjectIndexByKey.emplace(Subject.Key, Index);
		if (Subject.bEnabled)
		{
			// The first enabled subject of a name is the one evaluated.
			EnabledSubjectIndexByName.emplace(Subject.Key.SubjectName.Name.GetComparisonIndex(), Index);
		}
	}
}
