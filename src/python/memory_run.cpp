// The command's run without its folder: the options read through the run
// option table, the inputs checked, the results made side by side into
// memory, run.json made as the command makes it.
#include "python/memory_run.hpp"

#include <algorithm>
#include <map>
#include <mutex>
#include <string_view>

#include "cli/io/errors.hpp"
#include "cli/io/fingerprint.hpp"
#include "cli/io/results_folder.hpp"
#include "cli/run/run_json.hpp"

namespace sitewave::python {

namespace {

// The options that name where the inputs come from or where results go:
// the Python objects and calls decide those. (--cache stays: a folder of
// the record's spectra that analyses sharing a record reuse.)
constexpr std::string_view reserved_options[] = {
    "record", "at2", "soil", "profile", "water-table", "curves", "out", "force", "quiet"};

void refuse_reserved(const std::vector<std::string>& words) {
  for (const std::string& w : words) {
    for (const std::string_view name : reserved_options) {
      const std::string flag = "--" + std::string(name);
      if (w == flag || w.starts_with(flag + "=")) {
        throw cli::usage_error(flag + ": not an option of analyse (the record, the profile "
                                      "and to_folder say what it sets)");
      }
    }
  }
}

// The words that say where the record and the ground model came from, as
// the command would have been given them.
std::vector<std::string> input_words(const cli::record& rec, const named_ground& ground) {
  std::vector<std::string> words;
  if (rec.format == "at2") {
    std::string list;
    for (const std::string& p : rec.paths) list += (list.empty() ? "" : ",") + p;
    words.push_back("--at2=" + list);
  } else {
    words.push_back("--record=" + rec.paths.front());
  }
  words.insert(words.end(), ground.words.begin(), ground.words.end());
  return words;
}

}  // namespace

const std::string* memory_run::file(std::string_view name) const {
  const auto found =
      std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.first == name; });
  return found == files.end() ? nullptr : &found->second;
}

std::shared_ptr<memory_run> run_in_memory(const std::vector<std::string>& words,
                                                cli::record rec, named_ground ground) {
  refuse_reserved(words);
  std::vector<std::string> all = input_words(rec, ground);
  all.insert(all.end(), words.begin(), words.end());
  const std::vector<std::string_view> views(all.begin(), all.end());
  const cli::arguments args(views, cli::run_option_specs(), "analyse");

  auto run = std::make_shared<memory_run>();
  run->options = cli::parse_run_options(args);
  if (run->options.scale) cli::scale_record(rec, *run->options.scale);
  cli::input_files known;
  const cli::input_fingerprint fingerprint = cli::fingerprint_of(args, known);
  std::mutex mutex;  // the warnings and the files come from several threads
  const cli::warning_sink warn = [&](const std::string& text) {
    const std::scoped_lock lock(mutex);
    run->warnings.push_back(text);
  };
  run->inputs = cli::run_inputs_of(run->options, std::move(rec), std::move(ground.ground), warn);
  run->threads = cli::threads_for(run->options);

  std::map<std::string, std::string, std::less<>> made;
  run->products = cli::make_results(
      run->options, run->inputs, work_control{run->threads, nullptr},
      [&](std::string_view name, const cli::file_maker& make) {
        std::string content = cli::text_of(make);
        const std::scoped_lock lock(mutex);
        made.emplace(std::string(name), std::move(content));
      },
      warn);
  for (const std::string& name : run->products.files) {
    run->files.emplace_back(name, std::move(made.at(name)));
  }
  const cli::run_inputs& in = run->inputs;
  const cli::run_products& p = run->products;
  const cli::run_facts facts{args,
                             run->options,
                             in.rec,
                             in.model,
                             p.result,
                             in.angle_deg,
                             in.input,
                             run->threads,
                             static_cast<int>(in.periods.size()),
                             p.files,
                             fingerprint,
                             p.not_finite,
                             p.site ? &*p.site : nullptr};
  run->files.emplace_back("run.json", cli::run_json(facts));
  return run;
}

void write_folder(const memory_run& run, const std::filesystem::path& target, bool replace) {
  std::vector<std::filesystem::path> inputs(run.inputs.rec.paths.begin(),
                                            run.inputs.rec.paths.end());
  inputs.emplace_back(cli::ground_file(run.options));
  if (run.options.curves) inputs.emplace_back(*run.options.curves);
  cli::results_folder folder(target, replace, inputs);
  for (const auto& [name, content] : run.files) folder.write(name, content);
  folder.commit();
}

}  // namespace sitewave::python
