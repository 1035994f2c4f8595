#pragma once

// Boots the headless editor with the plug-in's modules in a fresh temporary project for
// each test, and shuts it down afterwards, so no test sees another's engine state.

#include "CameraCalibrationSubsystem.h"
#include "HeadlessEngineLoop.h"
#include "HeadlessLiveLinkClient.h"
#include "ProcessLoopback.h"
#include "StandInAvailability.h"
#include "TestFolder.h"
#include "UObject/Class.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

class FQuarnEngineTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ProjectDir = MakeTestFolder("quarn-engine-test");
		BindServerToProcessLoopback();
		BeforeBoot();
		FHeadlessEngineOptions Options;
		Options.bEditor = bEditor;
		Options.ProjectDir = FString(ProjectDir.string());
		Options.PluginDir = PluginDir;
		Options.Modules = {TEXT("QuarnVirtualProduction"), TEXT("QuarnLensDistortion"), TEXT("QuarnTracking"),
			TEXT("QuarnVirtualProductionEditor"), TEXT("QuarnMediaEditor"), TEXT("QuarnLive")};
		FHeadlessLiveLinkClient::Register();
		FHeadlessEngineLoop::Boot(Options);
	}

	void TearDown() override
	{
		FHeadlessEngineLoop::Shutdown();
		FHeadlessLiveLinkClient::Get().Reset();
		FHeadlessLiveLinkClient::Unregister();
		MakeEveryStandInAvailable();
		UCameraCalibrationSubsystem::SetAvailable(true);
		std::filesystem::remove_all(ProjectDir);
	}


	/** Runs before the engine boots: stand-in switches that decide which subsystems exist. */
	virtual void BeforeBoot() {}

	bool bEditor = true;
	std::filesystem::path ProjectDir;
	/** The plug-in folder: its descriptor names the root its Content/ is mounted at; empty is the working folder. */
	FString PluginDir;
};
