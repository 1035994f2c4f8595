#include "Output/CallTraceReporter.h"

#include "Async/Async.h"
#include "Editor.h"
#include "ISettingsModule.h"
#include "ISettingsSection.h"
#include "Modules/ModuleManager.h"
#include "QuarnLensDistortionComponent.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnLiveModule.h"
#include "QuarnMediaEditorSubsystem.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVirtualProductionServer.h"
#include "UObject/Object.h"
#include "UObject/UObjectGlobals.h"

#include <cmath>
#include <utility>

namespace quarnlive::output
{
	namespace
	{
		using Json = nlohmann::ordered_json;

		Json numberJson(double value)
		{
			if (std::isnan(value))
			{
				return "NaN";
			}
			if (std::isinf(value))
			{
				return value > 0 ? "Infinity" : "-Infinity";
			}
			return value;
		}

		Json serverJson(const quarn::TraceValue& value)
		{
			switch (value.kind)
			{
			case quarn::TraceValue::Kind::boolean:
				return value.boolean;
			case quarn::TraceValue::Kind::integer:
				return value.integer;
			case quarn::TraceValue::Kind::number:
				return numberJson(value.number);
			case quarn::TraceValue::Kind::text:
				return value.text;
			case quarn::TraceValue::Kind::list:
			{
				Json list = Json::array();
				for (const quarn::TraceValue& element : value.elements)
				{
					list.push_back(serverJson(element));
				}
				return list;
			}
			case quarn::TraceValue::Kind::record:
			{
				Json record = Json::object();
				for (std::size_t index = 0; index < value.keys.size() && index < value.elements.size(); ++index)
				{
					record[value.keys[index]] = serverJson(value.elements[index]);
				}
				return record;
			}
			case quarn::TraceValue::Kind::null:
				break;
			}
			return nullptr;
		}

		/** "name=value, ..." of a JSON object, for the text form. */
		std::string argumentText(const Json& arguments)
		{
			std::string text;
			for (const auto& [key, value] : arguments.items())
			{
				text += (text.empty() ? "" : ", ") + key + "=" + value.dump();
			}
			return text;
		}

		std::string callText(const std::string& module, const std::string& function, const Json& arguments, const Json& result, bool callback)
		{
			return (callback ? "callback " : "") + module + " " + function + "(" + argumentText(arguments) + ") -> " + result.dump();
		}

		/** Which member of an object a delegate is, among those the module binds. */
		std::string memberName(UObject* object, const void* delegate)
		{
			if (auto* subsystem = Cast<UQuarnMediaEditorSubsystem>(object))
			{
				if (delegate == &subsystem->OnBundlePlayingChangedDelegate)
				{
					return "UQuarnMediaEditorSubsystem::OnBundlePlayingChangedDelegate";
				}
				if (delegate == &subsystem->OnBundleCapturingChangedDelegate)
				{
					return "UQuarnMediaEditorSubsystem::OnBundleCapturingChangedDelegate";
				}
				if (delegate == &subsystem->OnBundleTimeStepSynchronizedStateChanged())
				{
					return "UQuarnMediaEditorSubsystem::OnBundleTimeStepSynchronizedStateChanged";
				}
				if (delegate == &subsystem->OnBundleProviderSynchronizedStateChanged())
				{
					return "UQuarnMediaEditorSubsystem::OnBundleProviderSynchronizedStateChanged";
				}
			}
			if (const auto* editor = Cast<UQuarnVPEditorSubsystem>(object); editor && delegate == &editor->OnActiveCameraChangedDelegate)
			{
				return "UQuarnVPEditorSubsystem::OnActiveCameraChangedDelegate";
			}
			if (const auto* controller = Cast<UQuarnLiveLinkComponentController>(object);
				controller && delegate == &controller->OnTrackingStatusChangedInPIE)
			{
				return "UQuarnLiveLinkComponentController::OnTrackingStatusChangedInPIE";
			}
			if (const auto* lens = Cast<UQuarnLensDistortionComponent>(object); lens && delegate == &lens->OnLensStatusChangedInPIE)
			{
				return "UQuarnLensDistortionComponent::OnLensStatusChangedInPIE";
			}
			return {};
		}
	} // namespace

	Json traceJson(const FCallTraceValue& value)
	{
		switch (value.Kind)
		{
		case FCallTraceValue::EKind::Bool:
			return value.bValue;
		case FCallTraceValue::EKind::Integer:
			return value.IntegerValue;
		case FCallTraceValue::EKind::Float:
			return numberJson(value.FloatValue);
		case FCallTraceValue::EKind::String:
		case FCallTraceValue::EKind::Object:
			return value.StringValue.ToStdString();
		case FCallTraceValue::EKind::Array:
		{
			Json list = Json::array();
			for (const FCallTraceValue& element : value.Elements)
			{
				list.push_back(traceJson(element));
			}
			return list;
		}
		case FCallTraceValue::EKind::Record:
		{
			Json record = Json::object();
			for (int32 index = 0; index < value.Keys.Num() && index < value.Elements.Num(); ++index)
			{
				record[value.Keys[index].ToStdString()] = traceJson(value.Elements[index]);
			}
			return record;
		}
		case FCallTraceValue::EKind::Null:
			break;
		}
		return nullptr;
	}

	CallTraceReporter::CallTraceReporter(LineSink sink, quarn::ServerNode& server)
		: sink_(std::move(sink))
		, server_(server)
	{
		FCallTrace::SetHandler([this](const FCallTraceCall& traced) { call(traced); }, [this](const FCallTraceBinding& traced) { binding(traced); });
		server_.setCallTracer([this](const quarn::TracedCall& traced) {
			// Calls the host makes while it sets a run up are not the module's.
			if (FCallTrace::IsSuspended())
			{
				return;
			}
			Json arguments = Json::object();
			for (const auto& [name, value] : traced.arguments)
			{
				arguments[name] = serverJson(value);
			}
			const Json result = serverJson(traced.result);
			const std::string module = "QuarnVirtualProductionAPI";
			std::string text = callText(module, traced.function, arguments, result, traced.callback);
			write(Json{{"kind", traced.callback ? "callback" : "call"}, {"module", module}, {"function", traced.function}, {"arguments", std::move(arguments)},
					  {"result", result}},
				text);
		});
	}

	CallTraceReporter::~CallTraceReporter()
	{
		server_.setCallTracer({});
		FCallTrace::ClearHandler();
	}

	void CallTraceReporter::call(const FCallTraceCall& traced)
	{
		Json arguments = Json::object();
		for (const FCallTraceArgument& argument : traced.Arguments)
		{
			arguments[argument.Name] = traceJson(argument.Value);
		}
		const Json result = traceJson(traced.Result);
		std::string text = callText(traced.Module, traced.Function, arguments, result, false);
		write(Json{{"kind", "call"}, {"module", traced.Module}, {"function", traced.Function}, {"arguments", std::move(arguments)}, {"result", result}}, text);
	}

	void CallTraceReporter::binding(const FCallTraceBinding& traced)
	{
		std::string object;
		{
			std::lock_guard lock(namesLock_);
			if (traced.Object)
			{
				object = traced.Object->GetName().ToStdString();
				boundObjects_[traced.RawObject] = object;
			}
			else if (const auto found = boundObjects_.find(traced.RawObject); found != boundObjects_.end())
			{
				object = found->second;
			}
			else if (traced.RawObject == FModuleManager::GetModulePtr<FQuarnLiveModule>(FName("QuarnLive")))
			{
				object = "QuarnLive";
			}
		}
		const std::string delegate = delegateName(traced.Delegate);
		Json fields{{"kind", traced.bBind ? "bind" : "unbind"}, {"module", "Core"}, {"function", traced.Via}, {"delegate", delegate.empty() ? Json(nullptr) : Json(delegate)},
			{"object", object.empty() ? Json(nullptr) : Json(object)}};
		std::string text = std::string(traced.bBind ? "bind " : "unbind ") + (delegate.empty() ? "?" : delegate) + (traced.bBind ? " to " : " from ") + (object.empty() ? "?" : object) + " (" + traced.Via + ")";
		if (!traced.bBind)
		{
			fields["removed"] = traced.Removed;
			text += " removed " + std::to_string(traced.Removed);
		}
		write(std::move(fields), text);
	}

	std::string CallTraceReporter::delegateName(const void* delegate) const
	{
		if (delegate == &FEditorDelegates::BeginPIE)
		{
			return "FEditorDelegates::BeginPIE";
		}
		if (delegate == &FEditorDelegates::EndPIE)
		{
			return "FEditorDelegates::EndPIE";
		}
		if (FQuarnLiveModule* module = FModuleManager::GetModulePtr<FQuarnLiveModule>(FName("QuarnLive")); module && delegate == &module->OnSettingsChanged())
		{
			return "FQuarnLiveModule::OnSettingsChanged";
		}
		if (ISettingsModule* settings = FModuleManager::GetModulePtr<ISettingsModule>(FName("Settings")))
		{
			for (const TSharedPtr<ISettingsSection>& section : settings->GetAllSections())
			{
				if (section && delegate == &section->OnModified())
				{
					return "ISettingsSection::OnModified";
				}
			}
		}
		std::string name;
		FUObjectArray::ForEachObject([&name, delegate](UObject* object) {
			if (name.empty())
			{
				name = memberName(object, delegate);
			}
		});
		return name;
	}

	void CallTraceReporter::write(Json fields, const std::string& text)
	{
		const bool gameThread = IsInGameThread();
		fields["gameThread"] = gameThread;
		sink_(std::move(fields), text + (gameThread ? "" : " (other thread)"));
	}
} // namespace quarnlive::output
