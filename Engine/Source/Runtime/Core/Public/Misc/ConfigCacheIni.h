#pragma once

#include "Containers/UnrealString.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class FConfigFile;

/**
 * The configuration cache over ini files in the engine's format: [Section], Key=Value,
 * and +Key=Value lines for arrays. Files load on first use. Writing keeps every section,
 * key and comment it did not change and replaces the file atomically.
 *
 * Reading a saved file (Saved/Config/<Name>.ini) reads its layers as the engine does:
 * Engine/Config/Base<Name>.ini of the engine (here the plug-in checkout's Engine/ folder),
 * the project's Config/Default<Name>.ini, then the saved file; reading
 * Config/Default<Name>.ini reads Base<Name>.ini below it. Writing changes only the file named.
 */
class CORE_API FConfigCacheIni
{
public:
	FConfigCacheIni();
	~FConfigCacheIni();

	bool GetString(const TCHAR* Section, const TCHAR* Key, FString& Value, const FString& Filename);
	/** The values of Key's array lines (+Key=...) or its single value; returns the count. */
	int32 GetArray(const TCHAR* Section, const TCHAR* Key, TArray<FString>& Out, const FString& Filename);

	void SetString(const TCHAR* Section, const TCHAR* Key, const TCHAR* Value, const FString& Filename);
	/** Replaces Key with one +Key=Value line per element (no line at all for an empty array). */
	void SetArray(const TCHAR* Section, const TCHAR* Key, const TArray<FString>& Value, const FString& Filename);
	/** Removes every line of Key from the section; true if there was one. */
	bool RemoveKey(const TCHAR* Section, const TCHAR* Key, const FString& Filename);
	bool DoesSectionExist(const TCHAR* Section, const FString& Filename);
	/** The layer file whose lines decide Key's value when Filename is read; empty when none does. */
	FString GetValueLayer(const TCHAR* Section, const TCHAR* Key, const FString& Filename);
	/** The keys of a section, in file order, each once. */
	TArray<FString> GetKeys(const TCHAR* Section, const FString& Filename);

	/**
	 * Writes changed files to disk (only Filename when given).
	 * @param bRemoveFromCache also forget the files, so the next read loads them again
	 */
	void Flush(bool bRemoveFromCache, const FString& Filename = FString());
	/** Forgets every file without writing it. */
	void Clear();
	/** The error of the last write that failed ("Config/DefaultGame.ini: Permission denied"); empty after a success. */
	FString GetLastWriteError() const;

	/** Creates GConfig and sets the standard file names for the current project folder. */
	static void InitializeConfigSystem();
	/** Destroys GConfig without writing anything. */
	static void TearDownConfigSystem();
	/**
	 * The file that keeps a configuration name ("Game", "Engine", "RemoteControl"):
	 * Config/Default<Name>.ini when bDefaultConfig, else the saved file Saved/Config/<Name>.ini.
	 */
	static FString GetConfigFilename(const FString& ConfigName, bool bDefaultConfig);

private:
	FConfigFile& FindOrLoad(const FString& Filename);
	/** The files a read of Filename combines, lowest first, ending with Filename. */
	std::vector<std::string> GetLayers(const FString& Filename) const;
	std::vector<std::string> GetLayeredValues(const TCHAR* Section, const TCHAR* Key, const FString& Filename, bool bLowerLayersOnly);

	mutable std::recursive_mutex Lock;
	std::map<std::string, std::unique_ptr<FConfigFile>> Files;
	FString LastWriteError;
};

/** The global configuration cache; null before the engine boots. */
extern CORE_API FConfigCacheIni* GConfig;
/** The engine's configuration file: Saved/Config/Engine.ini of the project. */
extern CORE_API FString GEngineIni;
/** The game's configuration file: Saved/Config/Game.ini of the project. */
extern CORE_API FString GGameIni;
/** The editor's configuration file: Saved/Config/Editor.ini of the project. */
extern CORE_API FString GEditorIni;
