#include "Compose/ComposeCommand.h"
#include "Output/LineWriter.h"

#include "Errors.h"

#include "Camera/CameraComponent.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "ImageUtils.h"
#include "Kismet/GameplayStatics.h"
#include "QuarnCameraBase.h"
#include "QuarnFunctionLibrary.h"
#include "QuarnUMGContextSubsystem.h"
#include "Rendering/PostProcessing.h"

#include <nlohmann/json.hpp>

#include <string>
#include <system_error>
#include <vector>

namespace quarnlive::compose
{
	namespace
	{
		struct Picture
		{
			std::string kind;
			std::string name;
			std::filesystem::path file;
			int width = 0;
			int height = 0;
		};

		void save(const FImage& image, Picture picture, std::vector<Picture>& written)
		{
			if (!FImageUtils::SaveImageByExtension(*FString(picture.file.string()), image))
			{
				throw RuntimeFailure("cannot write " + picture.file.string());
			}
			picture.width = image.SizeX;
			picture.height = image.SizeY;
			written.push_back(std::move(picture));
		}

		/** Runs with the engine still up, after the scenario's last frame. */
		std::vector<Picture> writePictures(const std::filesystem::path& folder, std::vector<std::string>& notes)
		{
			std::vector<Picture> written;
			UQuarnUMGContextSubsystem* context = UQuarnUMGContextSubsystem::Get();
			FImage target;
			if (context && FImageUtils::GetRenderTargetImage(context->GetSceneRenderTarget(), target))
			{
				const std::string name = context->GetSceneRenderTarget()->GetName().ToStdString();
				save(target, Picture{"renderTarget", name, folder / (name + ".png")}, written);
			}
			else
			{
				notes.push_back("no render target to write: the UMG context has none");
			}

			UWorld* world = UQuarnFunctionLibrary::GetCurrentWorld();
			TArray<AActor*> cameras;
			UGameplayStatics::GetAllActorsWithTag(world, FName(TEXT("QuarnCamera")), cameras);
			for (AActor* actor : cameras)
			{
				const UCameraComponent* component = Cast<AQuarnCameraBase>(actor) ? actor->FindComponentByClass<UCameraComponent>() : nullptr;
				if (!component)
				{
					continue;
				}
				const std::string name = actor->GetName().ToStdString();
				save(FPostProcessing::RenderCameraPicture(*component), Picture{"camera", name, folder / (name + ".png")}, written);
			}
			if (!world)
			{
				notes.push_back("no camera pictures: the editor has no world open");
			}
			else if (cameras.Num() == 0)
			{
				notes.push_back("no camera pictures: no camera actor carries the tag QuarnCamera");
			}
			return written;
		}

		void report(const std::vector<Picture>& pictures, const std::vector<std::string>& notes, bool json, std::FILE* out)
		{
			output::LineWriter writer(out);
			for (const Picture& picture : pictures)
			{
				if (json)
				{
					const nlohmann::ordered_json line{{"type", "picture"}, {"kind", picture.kind}, {"name", picture.name},
						{"path", picture.file.string()}, {"width", picture.width}, {"height", picture.height}};
					writer.writeJson(line);
				}
				else
				{
					writer.write("wrote " + picture.file.string() + " (" + (picture.kind == "camera" ? "camera" : "render target") + " " + picture.name + ", "
						+ std::to_string(picture.width) + "x" + std::to_string(picture.height) + ")");
				}
			}
			for (const std::string& note : notes)
			{
				if (json)
				{
					writer.writeJson(nlohmann::ordered_json{{"type", "note"}, {"message", note}});
				}
				else
				{
					writer.write("note: " + note);
				}
			}
		}
	} // namespace

	void composeScenario(const ComposeOptions& options, std::FILE* out, std::FILE* err)
	{
		std::error_code error;
		std::filesystem::create_directories(options.out, error);
		if (error || !std::filesystem::is_directory(options.out, error))
		{
			throw InputError("--out", "cannot use " + options.out.string() + " as the output folder" + (error ? ": " + error.message() : ""));
		}
		std::vector<Picture> pictures;
		std::vector<std::string> notes;
		run::runScenario(options.run, out, err, [&] { pictures = writePictures(options.out, notes); });
		report(pictures, notes, options.run.json, out);
	}
} // namespace quarnlive::compose
