#include "core/split/piece_registry.h"

#include <algorithm>
#include <cctype>

#include "core/errors.h"

namespace quorvel {

void WriteAll(PieceFile& file, std::string_view bytes)
{
    if (!bytes.empty() && file.Write(bytes.data(), bytes.size()) < bytes.size()) throw FileWriteError();
}

PieceDecider::PieceDecider(const SplitTarget& target)
    : target_(target), input_(target.files.IdentityOf(target.inputPath))
{
}

std::string PieceDecider::FoldedName(const std::string& path) const
{
    std::string folded = path;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::optional<size_t> PieceDecider::PieceOfIdentity(const FileIdentity& identity)
{
    for (const size_t e : unprobed_)
        if (const std::optional<FileIdentity> known = target_.files.IdentityOf(pieces_[e].path))
            pieceOfIdentity_.emplace(std::make_pair(known->volume, known->index), e);
    unprobed_.clear();
    const auto found = pieceOfIdentity_.find({identity.volume, identity.index});
    if (found == pieceOfIdentity_.end()) return std::nullopt;
    return found->second;
}

PieceDecision PieceDecider::Decide(const std::string& path)
{
    PieceDecision decision;
    decision.note = RefusedName(path, target_);
    const std::optional<FileIdentity> identity =
        decision.note.empty() ? target_.files.IdentityOf(path) : std::nullopt;
    if (decision.note.empty() && (path == target_.inputPath || (identity && input_ && *identity == *input_)))
        decision.note = "the input file itself";
    if (!decision.note.empty()) {
        // Nothing is written for it, so no later piece can share it.
        decision.mark = PiecePlan::Mark::kCannot;
        pieces_.push_back({path});
        return decision;
    }
    // The file system says which file a name is, once the file exists. A
    // dry run creates none: there, on Windows, a name that differs from an
    // earlier piece's in ASCII case only is taken for that piece's file,
    // which the split finds to be so when the folder ignores case.
    const bool ignoresCase = target_.pathStyle.backslashAndColon;
    std::optional<size_t> earlier;
    if (identity) {
        earlier = PieceOfIdentity(*identity);
    } else if (ignoresCase) {
        const auto found = pieceOfFoldedName_.find(FoldedName(path));
        if (found != pieceOfFoldedName_.end() && !target_.files.IdentityOf(pieces_[found->second].path))
            earlier = found->second;
    }
    if (earlier) {
        decision.mark = PiecePlan::Mark::kShares;
        decision.sharesWith = *earlier;
    } else {
        decision.mark = identity ? PiecePlan::Mark::kReplaces : PiecePlan::Mark::kNew;
    }
    const size_t number = pieces_.size();
    pieces_.push_back({path});
    if (!identity) unprobed_.push_back(number);
    if (identity) pieceOfIdentity_.emplace(std::make_pair(identity->volume, identity->index), number);
    if (ignoresCase) pieceOfFoldedName_.emplace(FoldedName(path), number);
    return decision;
}

void MarkPlans(std::vector<PiecePlan>& plans, const SplitTarget& target)
{
    PieceDecider decider(target);
    for (PiecePlan& plan : plans) {
        const PieceDecision decision = decider.Decide(plan.path);
        plan.mark = decision.mark;
        if (decision.mark == PiecePlan::Mark::kShares) plan.note = plans[decision.sharesWith].path;
        if (decision.mark == PiecePlan::Mark::kCannot) plan.note = decision.note;
    }
}

PieceRegistry::PieceRegistry(const SplitTarget& target) : files_(target.files), decider_(target) {}

std::unique_ptr<PieceFile> PieceRegistry::OpenFirst(const std::string& path, bool& appending)
{
    return OpenAsDecided(path, decider_.Decide(path), appending);
}

std::unique_ptr<PieceFile> PieceRegistry::OpenAsDecided(const std::string& path, const PieceDecision& decision,
                                                        bool& appending)
{
    appending = decision.mark == PiecePlan::Mark::kShares;
    if (decision.mark == PiecePlan::Mark::kCannot) throw FileCreateError(path);
    if (decision.mark == PiecePlan::Mark::kNew) {
        // A name not taken yet is a new file, the common case: no identity
        // to ask for.
        if (std::unique_ptr<PieceFile> created = files_.CreateNewPiece(path)) return created;
    }
    std::unique_ptr<PieceFile> file = files_.OpenPiece(path);
    if (!file) throw FileCreateError(path);
    // The file may not be the one decided on: another program may have
    // made it meanwhile, or the file system takes two names for one that
    // differ in more than ASCII case. However it came about, the input file
    // is never replaced and an earlier piece is never cut short.
    const FileIdentity identity = file->Identity();
    if (decider_.IsInput(identity)) throw FileCreateError(path);
    const size_t self = decider_.Count() - 1;
    if (!appending && decider_.PieceOfIdentity(identity).value_or(self) != self) appending = true;
    if (!(appending ? file->SeekToEnd() : file->Truncate())) throw FileCreateError(path);
    return file;
}

void PieceRegistry::SavePiece(const std::string& path, std::string_view bytes, size_t skipWhenAppending)
{
    bool appending = false;
    const std::unique_ptr<PieceFile> file = OpenFirst(path, appending);
    WriteAll(*file, bytes.substr(appending ? std::min(skipWhenAppending, bytes.size()) : 0));
}

std::unique_ptr<PieceFile> PieceRegistry::Reopen(const std::string& path)
{
    std::unique_ptr<PieceFile> file = files_.OpenPiece(path);
    if (!file || !file->SeekToEnd()) throw FileCreateError(path);
    return file;
}

}  // namespace quorvel
