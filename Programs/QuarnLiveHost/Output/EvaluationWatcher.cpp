#include "Output/EvaluationWatcher.h"

#include "Reflection/PropertyJson.h"

#include "Components/ActorComponent.h"
#include "GameFramework/Actor.h"
#include "HeadlessLiveLinkClient.h"
#include "LiveLinkQuarnTypes.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnStatusSubsystem.h"
#include "UObject/Class.h"

namespace quarnlive::output
{
	namespace
	{
		/** The source's place among the client's sources, as the scenario lists them; its id when it is gone. */
		nlohmann::ordered_json sourceJson(const FGuid& source)
		{
			const TArray<FGuid> sources = FHeadlessLiveLinkClient::Get().GetSources(true);
			for (int32 index = 0; index < sources.Num(); ++index)
			{
				if (sources[index] == source)
				{
					return index;
				}
			}
			return source.ToString().ToStdString();
		}

		/** The subsystem keeps the controller unowned: it is named only while it is still a live object. */
		nlohmann::ordered_json ownerJson(const UQuarnLiveLinkComponentController* controller)
		{
			bool alive = false;
			FUObjectArray::ForEachObject([&alive, controller](UObject* object) { alive = alive || object == controller; });
			if (!alive || !IsValid(controller))
			{
				return nullptr;
			}
			const AActor* owner = controller->GetOwner();
			return owner ? nlohmann::ordered_json(owner->GetName().ToStdString()) : nlohmann::ordered_json();
		}

		nlohmann::ordered_json frameJson(const FLiveLinkQuarnFrameData& frame)
		{
			return reflection::structJson(*FLiveLinkQuarnFrameData::StaticStruct(), &frame);
		}
	} // namespace

	void EvaluationWatcher::beforeTick()
	{
		const UQuarnStatusSubsystem* subsystem = UQuarnStatusSubsystem::Get();
		timeBefore_ = subsystem ? subsystem->TimeSinceLastUpdate : 0.f;
		suspendedBefore_ = !subsystem || subsystem->bInPIE;
	}

	void EvaluationWatcher::afterTick(double deltaSeconds, const Stamp& stamp, Reporter& reporter)
	{
		const UQuarnStatusSubsystem* subsystem = UQuarnStatusSubsystem::Get();
		// An evaluation restarts the count at zero; a frame that merely adds nothing leaves it where it was.
		const bool evaluated = subsystem && !suspendedBefore_ && !subsystem->bInPIE && subsystem->TimeSinceLastUpdate == 0.f
			&& (timeBefore_ > 0.f || deltaSeconds > 0.0);
		if (!evaluated)
		{
			return;
		}
		const nlohmann::ordered_json fields = current();
		std::string text = std::to_string(fields["snapshots"].size()) + " snapshot(s), subjects " + fields["subjectNames"].dump()
			+ ", frame number " + fields["frameNumber"].dump() + ", camera subject " + fields["cameraSubjectName"].dump();
		reporter.line(stamp, "evaluation", fields, text);
	}

	nlohmann::ordered_json EvaluationWatcher::current()
	{
		UQuarnStatusSubsystem* subsystem = UQuarnStatusSubsystem::Get();
		if (!subsystem)
		{
			return nullptr;
		}
		nlohmann::ordered_json snapshots = nlohmann::ordered_json::array();
		for (const UQuarnStatusSubsystem::SnapshotInfo& snapshot : subsystem->GetSnapshots())
		{
			snapshots.push_back({{"source", sourceJson(snapshot.SubjectKey.Source)},
				{"subject", snapshot.SubjectKey.SubjectName.Name.ToString().ToStdString()},
				{"controllerOwner", ownerJson(snapshot.Controller)},
				{"frame", frameJson(snapshot.FrameData)}});
		}
		nlohmann::ordered_json subjectNames = nlohmann::ordered_json::array();
		if (const FProperty* property = UQuarnStatusSubsystem::StaticClass()->FindPropertyByName(TEXT("SubjectNames")))
		{
			subjectNames = reflection::valueJson(*property, property->ContainerPtrToValuePtr(subsystem));
		}
		return nlohmann::ordered_json{{"snapshots", std::move(snapshots)},
			{"lastSnapshot", frameJson(subsystem->GetLastSnapShot())},
			{"subjectNames", std::move(subjectNames)},
			{"frameNumber", subsystem->FrameNumber.Value},
			{"cameraSubjectName", subsystem->CameraSubjectName.ToStdString()}};
	}
} // namespace quarnlive::output
