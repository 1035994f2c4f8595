#pragma once

#include <stdexcept>
#include <string>

namespace quarnlive
{
	/**
	 * Bad input: a command line, a scenario file or a value in it. The program exits with 2
	 * and prints "file: place: problem"; the place is a JSON path or line:column.
	 */
	class InputError : public std::runtime_error
	{
	public:
		InputError(std::string place, std::string problem)
			: std::runtime_error(problem)
			, place_(std::move(place))
			, problem_(std::move(problem))
		{
		}

		const std::string& file() const { return file_; }
		const std::string& place() const { return place_; }
		const std::string& problem() const { return problem_; }
		/** The loader names the file once it knows it; inner checks only know the place. */
		void setFile(std::string file) { file_ = std::move(file); }

		std::string describe() const
		{
			std::string text;
			if (!file_.empty())
			{
				text += file_;
				text += place_.empty() || place_.front() == '$' ? ": " : ":";
			}
			if (!place_.empty())
			{
				text += place_ + ": ";
			}
			return text + problem_;
		}

	private:
		std::string file_;
		std::string place_;
		std::string problem_;
	};

	/** The engine or the installation let the run down. The program exits with 1. */
	class RuntimeFailure : public std::runtime_error
	{
	public:
		using std::runtime_error::runtime_error;
	};
} // namespace quarnlive
