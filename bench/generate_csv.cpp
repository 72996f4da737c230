// Writes a realistic Shift_JIS CSV for the benchmarks: a header and N rows
// of 8 columns (id, name, prefecture, date, amount, code, quoted memo,
// category), CR LF line ends. The same N always gives the same bytes.
//   quorvel-bench-gen N OUT.csv
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

const char* const kFamilyNames[] = {"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤",
                                    "吉田", "山田", "佐々木", "山口", "松本", "井上", "木村", "林", "斎藤", "清水"};
const char* const kGivenNames[] = {"太郎", "花子", "一郎", "美咲", "翔太", "陽菜", "大輔", "結衣", "健太", "さくら",
                                   "拓也", "愛", "直樹", "優子", "ソウタ", "ユイ", "誠", "真央", "表太", "能子"};
const char* const kPrefectures[] = {
    "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県", "福島県", "茨城県", "栃木県", "群馬県",
    "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県", "石川県", "福井県", "山梨県", "長野県",
    "岐阜県", "静岡県", "愛知県", "三重県", "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県",
    "鳥取県", "島根県", "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県", "高知県", "福岡県",
    "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県"};
const char* const kCategoryHeads[] = {"食品", "飲料", "家電", "衣料", "書籍", "文具", "玩具", "工具", "薬品", "雑貨"};
const char* const kCategoryTails[] = {"A", "B", "特売", "定番", "季節"};
const char* const kMemos[] = {"特になし", "至急", "再送,要確認", "担当:営業部", "返品あり", "ポイント対象",
                              "要連絡,午後", "ソフト表示"};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvel-bench-gen N OUT.csv\n");
        return 2;
    }
    const long rows = std::atol(argv[1]);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        return 1;
    }
    std::mt19937 rng(12345);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    std::string line = "id,氏名,都道府県,日付,金額,コード,備考,分類\r\n";
    std::fwrite(line.data(), 1, line.size(), out);
    char number[64];
    for (long i = 1; i <= rows; ++i) {
        line.clear();
        line += std::to_string(i);
        line += ',';
        line += kFamilyNames[pick(20)];
        line += kGivenNames[pick(20)];
        line += ',';
        line += kPrefectures[pick(47)];
        std::snprintf(number, sizeof number, ",20%02zu/%02zu/%02zu,%zu,", 20 + pick(6), 1 + pick(12), 1 + pick(28),
                      100 + pick(999900));
        line += number;
        std::snprintf(number, sizeof number, "%c%c%05zu", static_cast<char>('A' + pick(26)),
                      static_cast<char>('A' + pick(26)), pick(100000));
        line += number;
        line += ",\"";
        line += kMemos[pick(8)];
        std::snprintf(number, sizeof number, "（受付%05zu）", pick(100000));
        line += number;
        line += "\",";
        line += kCategoryHeads[pick(10)];
        line += kCategoryTails[pick(5)];
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
