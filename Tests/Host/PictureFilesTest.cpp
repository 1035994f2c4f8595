// End to end: picture files that a scenario names (camera pictures, widget images) and that the
// engine could not use are refused with exit code 2 at their place, before the engine boots.

#include "HostRun.h"

#include "ImageUtils.h"

#include <cstdint>

namespace quarnlive::test
{
	namespace
	{
		const std::filesystem::path examplePicture = std::filesystem::path(EXAMPLES_DIR) / "studio-picture.png";

		std::string bigEndian(std::uint32_t value)
		{
			return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8), static_cast<char>(value)};
		}

		/** A PNG signature and a header chunk that claims width x height, and nothing after it. */
		std::string headerOnly(std::uint32_t width, std::uint32_t height)
		{
			return std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13) + "IHDR" + bigEndian(width) + bigEndian(height) + std::string("\x08\x06\0\0\0", 5)
				+ bigEndian(0);
		}

		nlohmann::json cameraPicture(const std::string& file)
		{
			return {{"duration", 1}, {"state", {{"cameras", {{"actors", {{"Cam", {{"picture", {{"file", file}}}}}}}}}}}};
		}

		const std::string cameraPlace = "$.state.cameras.actors.Cam.picture.file";
	} // namespace

	class PictureFiles : public HostTest
	{
	protected:
		std::filesystem::path writeBytes(const std::string& name, const std::string& bytes) const
		{
			const std::filesystem::path file = scratch / name;
			std::ofstream(file, std::ios::binary) << bytes;
			return file;
		}

		std::filesystem::path writePicture(const std::string& name, int width, int height) const
		{
			const std::filesystem::path file = scratch / name;
			EXPECT_TRUE(FImageUtils::SaveImageByExtension(*FString(file.string()), FImage(width, height)));
			return file;
		}

		/** The example picture's first size bytes. */
		std::filesystem::path writeCut(const std::string& name, std::uintmax_t size) const
		{
			return writeBytes(name, readWhole(examplePicture).substr(0, size));
		}

		void expectRefused(const nlohmann::json& scenario, const std::string& place, const std::string& problem) const
		{
			const std::filesystem::path file = writeScenario("Scenario.json", scenario);
			const RunResult result = runJson(file);
			EXPECT_EQ(result.exitCode, 2) << result.err;
			EXPECT_EQ(result.out, "");
			EXPECT_FALSE(std::filesystem::exists(project())) << "refused before the project folder is made and the engine boots";
			const std::string expected = "quarnlive: " + file.string() + ": " + place + ": " + problem;
			EXPECT_NE(result.err.find(expected), std::string::npos) << "expected: " << expected << "\ngot: " << result.err;
		}

		void expectCameraPictureRefused(const std::string& name, const std::string& problem) const
		{
			expectRefused(cameraPicture(name), cameraPlace, problem);
		}

		std::string at(const std::string& name) const { return (scratch / name).string(); }
	};

	TEST_F(PictureFiles, MissingFilesAndFoldersAreRefused)
	{
		expectCameraPictureRefused("missing.png", "cannot read the PNG file " + at("missing.png"));
		std::filesystem::create_directory(scratch / "folder.png");
		expectCameraPictureRefused("folder.png", at("folder.png") + " is not a PNG file");
	}

	TEST_F(PictureFiles, FilesThatAreNotPngAreRefused)
	{
		writeBytes("text.png", "just some text\n");
		expectCameraPictureRefused("text.png", at("text.png") + " is not a PNG file");
		writeBytes("empty.png", "");
		expectCameraPictureRefused("empty.png", at("empty.png") + " is not a PNG file");
		writeBytes("photo.png", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11));
		expectCameraPictureRefused("photo.png", at("photo.png") + " is not a PNG file");
	}

	TEST_F(PictureFiles, TruncatedFilesAreNamedTruncated)
	{
		const std::uintmax_t size = std::filesystem::file_size(examplePicture);
		writeCut("header.png", 20);
		expectCameraPictureRefused("header.png", at("header.png") + " is truncated: it ends inside its header");
		writeCut("half.png", size / 2);
		expectCameraPictureRefused("half.png", at("half.png") + " is truncated: it ends inside its IDAT chunk");
		// The IEND chunk is the last 12 bytes.
		writeCut("noEnd.png", size - 12);
		expectCameraPictureRefused("noEnd.png", at("noEnd.png") + " is truncated: it ends before its IEND chunk");
	}

	TEST_F(PictureFiles, DamagedPixelDataIsRefused)
	{
		std::string bytes = readWhole(examplePicture);
		bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0xFF);
		writeBytes("damaged.png", bytes);
		expectCameraPictureRefused("damaged.png", at("damaged.png") + " is damaged: the engine cannot decode its picture");

		writeBytes("noHeader.png", std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13) + "tEXt" + std::string(13, 'a') + bigEndian(0));
		expectCameraPictureRefused("noHeader.png", at("noHeader.png") + " is damaged: it does not begin with a header (IHDR) chunk");
	}

	TEST_F(PictureFiles, PicturesOfAbsurdSizeAreRefusedBeforeTheyAreDecoded)
	{
		// Only a header: decoding would need 40 GB.
		writeBytes("giant.png", headerOnly(100000, 100000));
		expectCameraPictureRefused("giant.png", at("giant.png") + " is 100000x100000 pixels: a picture is at least 1x1 and at most 8192x8192");
		writeBytes("empty-area.png", headerOnly(0, 5));
		expectCameraPictureRefused("empty-area.png", at("empty-area.png") + " is 0x5 pixels");

		writePicture("wide.png", 8193, 1);
		expectCameraPictureRefused("wide.png", at("wide.png") + " is 8193x1 pixels");
		writePicture("widest.png", 8192, 1);
		const RunResult widest = runJson(writeScenario("Widest.json", cameraPicture("widest.png")));
		EXPECT_EQ(widest.exitCode, 0) << "8192 pixels are allowed: " << widest.err;
	}

	TEST_F(PictureFiles, FilesOfMoreThanSixtyFourMebibytesAreRefused)
	{
		const std::filesystem::path fat = writeBytes("fat.png", headerOnly(16, 16));
		std::filesystem::resize_file(fat, 64u * 1024u * 1024u + 1u);
		expectCameraPictureRefused("fat.png", at("fat.png") + " has 67108865 bytes: a PNG file may have at most 67108864 (64 MiB)");
	}

	TEST_F(PictureFiles, WidgetImagesAndPicturesInPatchesAreCheckedToo)
	{
		writeCut("cut.png", 100);
		const std::string problem = at("cut.png") + " is truncated";

		const nlohmann::json widget = {{"duration", 1},
			{"state", {{"umg", {{"widgets", {{"Logo", {{"elements", {{{"type", "image"}, {"size", {10, 10}}, {"file", "cut.png"}}}}}}}}}}}}};
		expectRefused(widget, "$.state.umg.widgets.Logo.elements[0].file", problem);

		const nlohmann::json patch = {{"duration", 1},
			{"timeline", {{{"at", 0.5}, {"set", {{"cameras", {{"actors", {{"Cam", {{"picture", {{"file", "cut.png"}}}}}}}}}}}}}}};
		expectRefused(patch, "$.timeline[0].set.cameras.actors.Cam.picture.file", problem);
	}
} // namespace quarnlive::test
