// `quarnlive compose`: the render target and the tagged cameras' pictures written as PNG files.

#include "HostRun.h"

#include "ImageUtils.h"

namespace quarnlive::test
{
	namespace
	{
		FImage readPng(const std::filesystem::path& file)
		{
			FImage image;
			EXPECT_TRUE(FImageUtils::LoadImage(*FString(file.string()), image)) << file;
			return image;
		}

		nlohmann::json boxWidget(const std::string& color, int x, int y, int width, int height)
		{
			return {{"elements", {{{"type", "box"}, {"position", {x, y}}, {"size", {width, height}}, {"color", color}}}}};
		}

		nlohmann::json sceneWith(const nlohmann::json& state, const nlohmann::json& timeline)
		{
			return {{"run", "editor"}, {"frameRate", 30}, {"duration", 1}, {"state", state}, {"timeline", timeline}};
		}
	} // namespace

	class Compose : public HostTest
	{
	protected:
		RunResult compose(const std::filesystem::path& scenario)
		{
			return run({"compose", "--json", "--project", project().string(), "--out", (scratch / "out").string(), scenario.string()});
		}
	};

	TEST_F(Compose, TheDefaultScenarioShowsTheLowerThirdOverTheCameraPicture)
	{
		const RunResult result = run({"compose", "--json", "--project", project().string(), "--out", (scratch / "out").string()});
		ASSERT_EQ(result.exitCode, 0) << result.err;
		ASSERT_EQ(result.linesOfType("picture").size(), 2u) << result.out;

		const FImage target = readPng(scratch / "out" / "QuarnUMGToContextRenderTarget2D.png");
		ASSERT_EQ(target.SizeX, 1920);
		ASSERT_EQ(target.SizeY, 1080);
		EXPECT_EQ(target.Pixel(10, 10), FColor(0, 0, 0, 255)) << "the opaque black clear where the lower third draws nothing";
		EXPECT_EQ(target.Pixel(100, 900), FColor(245, 166, 35, 0)) << "the accent bar, covering fully: alpha is one minus coverage";

		const FImage camera = readPng(scratch / "out" / "QuarnCamera.png");
		const FImage scene = readPng(std::filesystem::path(QUARN_SOURCE_DIR) / "Examples" / "studio-picture.png");
		ASSERT_EQ(camera.SizeX, scene.SizeX);
		EXPECT_EQ(camera.Pixel(10, 10), scene.Pixel(10, 10)) << "the studio shows around the widget";
		EXPECT_EQ(camera.Pixel(1800, 1000), scene.Pixel(1800, 1000));
		EXPECT_EQ(camera.Pixel(100, 900), FColor(245, 166, 35, 255));
		EXPECT_NE(camera.Pixel(600, 960), scene.Pixel(600, 960)) << "the bar darkens the studio";
	}

	TEST_F(Compose, OnlyTaggedCamerasArePicturedAndLaterWidgetsCoverEarlierOnes)
	{
		const nlohmann::json state = {
			{"cameras", {{"actors", {{"Main", {{"picture", {{"color", "#00FF00"}, {"size", {64, 32}}}}}}, {"Witness", {{"tags", nlohmann::json::array()}}}}}}},
			{"umg", {{"widgets", {{"Back", boxWidget("#FF0000", 0, 0, 1920, 1080)}, {"Front", boxWidget("#0000FF", 0, 0, 1920, 1080)}}}}}};
		const nlohmann::json timeline = {
			{{"at", 0.1}, {"action", "addWidget"}, {"widget", "Back"}, {"size", {1920, 1080}}},
			{{"at", 0.1}, {"action", "addWidget"}, {"widget", "Front"}, {"size", {960, 540}}, {"enableAnimations", false}},
			{{"at", 0.2}, {"action", "drawWidgets"}, {"screenSize", {1, 1}}}};
		const RunResult result = compose(writeScenario("Tagged.json", sceneWith(state, timeline)));
		ASSERT_EQ(result.exitCode, 0) << result.err;

		const std::vector<nlohmann::json> pictures = result.linesOfType("picture");
		ASSERT_EQ(pictures.size(), 2u) << result.out;
		EXPECT_EQ(pictures[1]["name"], "Main");
		EXPECT_FALSE(std::filesystem::exists(scratch / "out" / "Witness.png"));

		const FImage target = readPng(scratch / "out" / "QuarnUMGToContextRenderTarget2D.png");
		EXPECT_EQ(target.Pixel(100, 100), FColor(0, 0, 255, 0));
		EXPECT_EQ(target.Pixel(1500, 900), FColor(255, 0, 0, 0));
		const FImage main = readPng(scratch / "out" / "Main.png");
		ASSERT_EQ(main.SizeX, 64);
		EXPECT_EQ(main.Pixel(2, 2), FColor(0, 0, 255, 255)) << "the target is stretched over the picture";
		EXPECT_EQ(main.Pixel(60, 30), FColor(255, 0, 0, 255));
	}

	TEST_F(Compose, WithoutAWorldNothingIsRegisteredAndTheNoteSaysSo)
	{
		const nlohmann::json state = {{"engine", {{"world", false}}}, {"umg", {{"widgets", {{"Only", boxWidget("#FF0000", 0, 0, 10, 10)}}}}}};
		const nlohmann::json timeline = {{{"at", 0.1}, {"action", "addWidget"}, {"widget", "Only"}, {"size", {100, 100}}},
			{{"at", 0.2}, {"action", "drawWidgets"}}};
		const RunResult result = compose(writeScenario("NoWorld.json", sceneWith(state, timeline)));
		ASSERT_EQ(result.exitCode, 0) << result.err;
		const FImage target = readPng(scratch / "out" / "QuarnUMGToContextRenderTarget2D.png");
		EXPECT_EQ(target.Pixel(5, 5), FColor(0, 0, 0, 255)) << "the asset's clear colour: nothing drew or cleared";
		EXPECT_NE(result.out.find("no world open"), std::string::npos) << result.out;
	}

	TEST_F(Compose, AWidgetNotDefinedAtThatTimeIsBadInput)
	{
		const nlohmann::json timeline = {{{"at", 0.1}, {"action", "addWidget"}, {"widget", "Ghost"}, {"size", {100, 100}}}};
		const RunResult result = compose(writeScenario("Ghost.json", sceneWith(nlohmann::json::object(), timeline)));
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_NE(result.err.find("$.timeline[0].widget"), std::string::npos) << result.err;
		EXPECT_NE(result.err.find("Ghost"), std::string::npos) << result.err;
	}

	TEST_F(Compose, BrokenWidgetDescriptionsAreRejectedWithTheirPlace)
	{
		const std::vector<std::pair<nlohmann::json, std::string>> cases = {
			{{{"Bad", {{"elements", {{{"type", "circle"}}}}}}}, "$.state.umg.widgets.Bad.elements[0].type"},
			{{{"Bad", {{"elements", {{{"type", "box"}, {"size", {10, 10}}, {"color", "red"}}}}}}}, "$.state.umg.widgets.Bad.elements[0].color"},
			{{{"Bad", {{"elements", {{{"type", "image"}, {"size", {10, 10}}, {"file", "missing.png"}}}}}}}, "$.state.umg.widgets.Bad.elements[0].file"},
			{{{"Bad", {{"elements", nlohmann::json::array()}, {"animations", {{{"element", 0}, {"property", "x"}, {"from", 0}, {"to", 1}, {"duration", 1}}}}}}},
				"$.state.umg.widgets.Bad.animations[0]"},
			{{{"Bad", {{"elements", {{{"type", "box"}, {"size", {10, 10}}, {"radius", -2}}}}}}}, "$.state.umg.widgets.Bad.elements[0].radius"},
			{{{"Bad", {{"elements", {{{"type", "text"}, {"text", "x"}, {"align", "justify"}}}}}}}, "$.state.umg.widgets.Bad.elements[0].align"},
			{{{"Bad", {{"elements", {{{"type", "text"}, {"text", "x"}, {"wrapWidth", 0}}}}}}}, "$.state.umg.widgets.Bad.elements[0].wrapWidth"},
			{{{"Bad", {{"elements", {{{"type", "text"}, {"text", "x"}, {"italic", "yes"}}}}}}}, "$.state.umg.widgets.Bad.elements[0].italic"},
		};
		for (const auto& [widgets, place] : cases)
		{
			const RunResult result = compose(writeScenario("Bad.json", sceneWith({{"umg", {{"widgets", widgets}}}}, nlohmann::json::array())));
			EXPECT_EQ(result.exitCode, 2) << place;
			EXPECT_NE(result.err.find(place), std::string::npos) << result.err;
		}
	}

	TEST_F(Compose, AFontFamilyThatIsNotInstalledIsBadInputNamingThePlace)
	{
		const nlohmann::json widgets = {{"Title", {{"elements", {{{"type", "text"}, {"text", "Hello"}, {"fontFamily", "No Such Family 7"}}}}}}};
		const RunResult result = compose(writeScenario("Font.json", sceneWith({{"umg", {{"widgets", widgets}}}}, nlohmann::json::array())));
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_NE(result.err.find("$.state.umg.widgets.Title.elements[0].fontFamily"), std::string::npos) << result.err;
		EXPECT_NE(result.err.find("font family \"No Such Family 7\" is not installed"), std::string::npos) << result.err;
	}

	TEST_F(Compose, NeedsAnOutputFolder)
	{
		const RunResult result = run({"compose", "--project", project().string()});
		EXPECT_EQ(result.exitCode, 2);
		EXPECT_NE(result.err.find("--out"), std::string::npos) << result.err;
	}
} // namespace quarnlive::test
