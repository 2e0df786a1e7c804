#include "storage/model_names.h"

#include "storage/profile_file.h"

namespace chanwright {

std::optional<Model> ParseModel(const QString& name) {
    for (const Model model : {Model::HV2071P, Model::TQ5300}) {
        if (name.compare(QString::fromStdString(GetModelName(model)), Qt::CaseInsensitive) == 0)
            return model;
    }
    return std::nullopt;
}

std::optional<Model> ModelNamedIn(const std::string& bytes) {
    const std::optional<FileText> text = ProfileText(bytes);
    if (!text)
        return std::nullopt;
    const std::string named = ReadProfileValue(ProfileFile::Parse(text->text), "MAIN", "MODEL");
    return ParseModel(QString::fromStdString(named));
}

}  // namespace chanwright
