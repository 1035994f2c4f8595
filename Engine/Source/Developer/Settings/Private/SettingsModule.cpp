#include "ISettingsModule.h"

#include "Modules/ModuleManager.h"

namespace
{
	class FSettingsSection final : public ISettingsSection
	{
	public:
		FSettingsSection(const FName& InContainerName, const FName& InCategoryName, const FName& InName, const FText& InDisplayName,
			const FText& InDescription, const TWeakObjectPtr<UObject>& InSettingsObject)
			: ContainerName(InContainerName)
			, CategoryName(InCategoryName)
			, Name(InName)
			, DisplayName(InDisplayName)
			, Description(InDescription)
			, SettingsObject(InSettingsObject)
		{
		}

		FName GetContainerName() const override { return ContainerName; }
		FName GetCategoryName() const override { return CategoryName; }
		FName GetName() const override { return Name; }
		FText GetDisplayName() const override { return DisplayName; }
		FText GetDescription() const override { return Description; }
		TWeakObjectPtr<UObject> GetSettingsObject() const override { return SettingsObject; }
		FOnModified& OnModified() override { return ModifiedDelegate; }

		bool NotifySectionOnPropertyModified() override
		{
			return ModifiedDelegate.IsBound() ? ModifiedDelegate.Execute() : true;
		}

		bool Save() override
		{
			UObject* Object = SettingsObject.Get();
			if (!Object)
			{
				return false;
			}
			// As the engine's settings editor: a default-config class goes to its Default file.
			if (Object->GetClass()->HasAnyClassFlags(CLASS_DefaultConfig))
			{
				return Object->TryUpdateDefaultConfigFile();
			}
			Object->SaveConfig();
			return true;
		}

		bool Matches(const FName& InContainerName, const FName& InCategoryName, const FName& InName) const
		{
			return ContainerName == InContainerName && CategoryName == InCategoryName && Name == InName;
		}

	private:
		FName ContainerName;
		FName CategoryName;
		FName Name;
		FText DisplayName;
		FText Description;
		TWeakObjectPtr<UObject> SettingsObject;
		FOnModified ModifiedDelegate;
	};

	class FSettingsModule final : public ISettingsModule
	{
	public:
		TSharedPtr<ISettingsSection> RegisterSettings(const FName& ContainerName, const FName& CategoryName, const FName& SectionName,
			const FText& DisplayName, const FText& Description, const TWeakObjectPtr<UObject>& SettingsObject) override
		{
			if (ContainerName.IsNone() || CategoryName.IsNone() || SectionName.IsNone() || !SettingsObject.IsValid())
			{
				return nullptr;
			}
			UnregisterSettings(ContainerName, CategoryName, SectionName);
			TSharedPtr<FSettingsSection> Section = MakeShared<FSettingsSection>(ContainerName, CategoryName, SectionName, DisplayName, Description, SettingsObject);
			Sections.Add(Section);
			return Section;
		}

		void UnregisterSettings(const FName& ContainerName, const FName& CategoryName, const FName& SectionName) override
		{
			for (int32 Index = Sections.Num() - 1; Index >= 0; --Index)
			{
				if (Sections[Index]->Matches(ContainerName, CategoryName, SectionName))
				{
					Sections.RemoveAt(Index);
				}
			}
		}

		TArray<TSharedPtr<ISettingsSection>> GetAllSections() const override
		{
			TArray<TSharedPtr<ISettingsSection>> Result;
			for (const TSharedPtr<FSettingsSection>& Section : Sections)
			{
				Result.Add(Section);
			}
			return Result;
		}

		TSharedPtr<ISettingsSection> FindSection(const FName& ContainerName, const FName& CategoryName, const FName& SectionName) const override
		{
			for (const TSharedPtr<FSettingsSection>& Section : Sections)
			{
				if (Section->Matches(ContainerName, CategoryName, SectionName))
				{
					return Section;
				}
			}
			return nullptr;
		}

	private:
		TArray<TSharedPtr<FSettingsSection>> Sections;
	};
} // namespace

IMPLEMENT_MODULE(FSettingsModule, Settings)
