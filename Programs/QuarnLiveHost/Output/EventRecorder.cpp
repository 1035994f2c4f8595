#include "Output/EventRecorder.h"

#include "Output/EventArguments.h"

#include "Async/Async.h"
#include "Modules/ModuleManager.h"
#include "QuarnLiveModule.h"
#include "QuarnMultiEngineSubsystem.h"
#include "UObject/Class.h"
#include "UObject/GeneratedCodeHelpers.h"
#include "UObject/Object.h"

namespace quarnlive::output
{
	namespace
	{
		using Forward = std::function<void(nlohmann::ordered_json)>;

		/**
		 * Stands where a Blueprint graph would: an object a BlueprintAssignable delegate can bind
		 * to, one per delegate, handing each call's arguments on.
		 */
		class UHostEventListener : public UObject
		{
		public:
			static UClass* StaticClass()
			{
				static UClass* const Class = UECodeGen::ConstructClass({TEXT("HostEventListener"), TEXT("/Script/QuarnLiveHost"), nullptr, CLASS_Native, {}},
					UObject::StaticClass(), sizeof(UHostEventListener), &UECodeGen::ConstructObject<UHostEventListener>, {}, {});
				return Class;
			}

			void NoArguments() { forward(nlohmann::ordered_json::array()); }
			void Integer(int32 Value) { forward(nlohmann::ordered_json::array({Value})); }
			void Byte(uint8 Value) { forward(nlohmann::ordered_json::array({Value})); }
			void EightBytes(FEightBytes Bytes) { forward(eightBytesJson(Bytes)); }
			void Transform(FTransform Value) { forward(transformJson(Value)); }

			Forward forward;
		};

		template <typename... Args>
		using Dynamic = TDynamicMulticastDelegate<void(Args...)>;

		/** The delegate's signature, named as the header tool names it ("OnPlay__DelegateSignature"). */
		const UFunction* signatureOf(const FProperty& property)
		{
			const FString name = property.GetCPPType().Mid(1) + TEXT("__DelegateSignature");
			for (const UFunction* signature : FReflectionRegistry::GetAllDelegateSignatures())
			{
				if (signature->GetName() == name)
				{
					return signature;
				}
			}
			return nullptr;
		}

		/** "PlayDelegate" -> "Play": the event as the engine command names it. */
		std::string eventName(const FProperty& property)
		{
			std::string name = property.GetName().ToStdString();
			const std::string suffix = "Delegate";
			if (name.size() > suffix.size() && name.ends_with(suffix))
			{
				name.resize(name.size() - suffix.size());
			}
			return name;
		}
	} // namespace

	struct EventRecorder::Binding
	{
		std::function<void()> unbind;
	};

	namespace
	{
		template <typename... Args>
		std::function<void()> bindTyped(void* value, UHostEventListener* listener, void (UHostEventListener::*method)(Args...), const TCHAR* methodText)
		{
			// Every dynamic delegate type derives from its signature's TDynamicMulticastDelegate alone.
			Dynamic<Args...>* delegate = static_cast<Dynamic<Args...>*>(value);
			delegate->__Internal_AddDynamic(listener, method, methodText);
			return [delegate, listener]() { delegate->RemoveAll(listener); };
		}

		/** Binds listener to the dynamic delegate at value by its signature; the unbinding, or none for a signature the host cannot take. */
		std::function<void()> bindDynamic(const UFunction& signature, void* value, UHostEventListener* listener)
		{
			const TArray<FProperty*>& parameters = signature.GetParameters();
			if (parameters.IsEmpty())
			{
				return bindTyped(value, listener, &UHostEventListener::NoArguments, TEXT("NoArguments"));
			}
			if (parameters.Num() != 1)
			{
				return {};
			}
			const FProperty& parameter = *parameters[0];
			if (parameter.GetKind() == EPropertyKind::Int32)
			{
				return bindTyped(value, listener, &UHostEventListener::Integer, TEXT("Integer"));
			}
			if (parameter.GetKind() == EPropertyKind::Byte)
			{
				return bindTyped(value, listener, &UHostEventListener::Byte, TEXT("Byte"));
			}
			if (parameter.GetCPPType() == TEXT("FEightBytes"))
			{
				return bindTyped(value, listener, &UHostEventListener::EightBytes, TEXT("EightBytes"));
			}
			if (parameter.GetCPPType() == TEXT("FTransform"))
			{
				return bindTyped(value, listener, &UHostEventListener::Transform, TEXT("Transform"));
			}
			return {};
		}

		template <typename Delegate, typename Handler>
		std::unique_ptr<EventRecorder::Binding> bindNative(Delegate& delegate, Handler handler)
		{
			const FDelegateHandle handle = delegate.AddLambda(std::move(handler));
			return std::make_unique<EventRecorder::Binding>(EventRecorder::Binding{[&delegate, handle]() { delegate.Remove(handle); }});
		}

		nlohmann::ordered_json stringsJson(const TArray<FString>& values)
		{
			nlohmann::ordered_json result = nlohmann::ordered_json::array();
			for (const FString& value : values)
			{
				result.push_back(value.ToStdString());
			}
			return result;
		}
	} // namespace

	EventRecorder::EventRecorder(Reporter& reporter, std::function<Stamp()> now)
		: reporter_(reporter)
		, now_(std::move(now))
	{
		if (FQuarnLiveModule* module = FModuleManager::GetModulePtr<FQuarnLiveModule>(TEXT("QuarnLive")))
		{
			bindings_.push_back(bindNative(module->OnSettingsChanged(), [this]() { report("SettingsChanged", "OnSettingsChanged", false, nlohmann::ordered_json::array()); }));
		}
		UQuarnMultiEngineSubsystem* multiEngine = UQuarnMultiEngineSubsystem::Get();
		if (!multiEngine)
		{
			return;
		}
		const auto none = [this](const char* name, const char* delegate) {
			return [this, name, delegate]() { report(name, delegate, false, nlohmann::ordered_json::array()); };
		};
		const auto one = [this](const char* name, const char* delegate) {
			return [this, name, delegate](auto value) { report(name, delegate, false, nlohmann::ordered_json::array({value})); };
		};
		bindings_.push_back(bindNative(multiEngine->OnPlay(), none("Play", "OnPlay")));
		bindings_.push_back(bindNative(multiEngine->OnStop(), none("Stop", "OnStop")));
		bindings_.push_back(bindNative(multiEngine->OnStartRecord(), none("StartRecord", "OnStartRecord")));
		bindings_.push_back(bindNative(multiEngine->OnStopRecord(), none("StopRecord", "OnStopRecord")));
		bindings_.push_back(bindNative(multiEngine->OnSelectCamera(), one("SelectCamera", "OnSelectCamera")));
		bindings_.push_back(bindNative(multiEngine->OnSelectLevel(), one("SelectLevel", "OnSelectLevel")));
		bindings_.push_back(bindNative(multiEngine->OnAnimationKey(), one("AnimationKey", "OnAnimationKey")));
		bindings_.push_back(bindNative(multiEngine->OnrReceiveCustom(), one("ReceiveCustom", "OnrReceiveCustom")));
		bindings_.push_back(bindNative(multiEngine->OnrReceiveCustomEight(),
			[this](FEightBytes bytes) { report("ReceiveCustomEight", "OnrReceiveCustomEight", false, eightBytesJson(bytes)); }));
		bindings_.push_back(bindNative(multiEngine->OnrReceiveCustomTransform(),
			[this](FTransform transform) { report("ReceiveCustomTransform", "OnrReceiveCustomTransform", false, transformJson(transform)); }));
		bindings_.push_back(bindNative(multiEngine->OnrReceiveCustomInt(), one("ReceiveCustomInt", "OnrReceiveCustomInt")));
		bindings_.push_back(bindNative(multiEngine->OnSelectCameraXR(), one("SelectCameraXR", "OnSelectCameraXR")));
		bindings_.push_back(bindNative(multiEngine->MultiEngineMasterChanged(), one("MultiEngineMasterChanged", "MultiEngineMasterChanged")));
		bindings_.push_back(bindNative(multiEngine->MultiEngineIpsChanged(), [this](const TArray<FString>& addresses) {
			report("MultiEngineIpsChanged", "MultiEngineIpsChanged", false, nlohmann::ordered_json::array({stringsJson(addresses)}));
		}));
		bindings_.push_back(bindNative(multiEngine->ShouldBroadcastPIEChanged(), one("ShouldBroadcastPIEChanged", "ShouldBroadcastPIEChanged")));
		bindings_.push_back(bindNative(multiEngine->ShouldBroadcastRecordChanged(), one("ShouldBroadcastRecordChanged", "ShouldBroadcastRecordChanged")));
		bindings_.push_back(bindNative(multiEngine->DisableMultiEngineChanged(), one("DisableMultiEngineChanged", "DisableMultiEngineChanged")));

		for (const FProperty* property : UQuarnMultiEngineSubsystem::StaticClass()->GetOwnProperties())
		{
			const UFunction* signature = property->HasAnyPropertyFlags(CPF_BlueprintAssignable) ? signatureOf(*property) : nullptr;
			if (!signature)
			{
				continue;
			}
			UHostEventListener* listener = NewObject<UHostEventListener>();
			const std::string name = eventName(*property);
			const std::string delegate = property->GetMetaData(TEXT("DisplayName")).ToStdString();
			listener->forward = [this, name, delegate](nlohmann::ordered_json arguments) { report(name, delegate, true, std::move(arguments)); };
			std::function<void()> unbind = bindDynamic(*signature, property->ContainerPtrToValuePtr(multiEngine), listener);
			if (!unbind)
			{
				listener->MarkAsGarbage();
				continue;
			}
			const TWeakObjectPtr<UQuarnMultiEngineSubsystem> owner(multiEngine);
			bindings_.push_back(std::make_unique<Binding>(Binding{[owner, unbind = std::move(unbind), listener]() {
				if (owner.IsValid())
				{
					unbind();
				}
				listener->forward = nullptr;
				listener->MarkAsGarbage();
			}}));
		}
	}

	EventRecorder::~EventRecorder()
	{
		for (const std::unique_ptr<Binding>& binding : bindings_)
		{
			binding->unbind();
		}
	}

	void EventRecorder::report(const std::string& name, const std::string& delegate, bool blueprint, nlohmann::ordered_json arguments)
	{
		const bool gameThread = IsInGameThread();
		std::string text = name + (blueprint ? " (Blueprint \"" + delegate + "\"" : " (native " + delegate) + (gameThread ? ", game thread)" : ", other thread)");
		for (const auto& argument : arguments)
		{
			text += " " + argument.dump();
		}
		reporter_.line(now_(), "event",
			nlohmann::ordered_json{{"name", name}, {"delegate", delegate}, {"blueprint", blueprint}, {"args", std::move(arguments)}, {"gameThread", gameThread}},
			text);
	}
} // namespace quarnlive::output
