#!/usr/bin/env python3
"""Makes data/pinyin_table.mb, the built-in pinyin code table of the
input-method builder: 411 lines "=" + syllable + "=" + characters in GBK with
CR LF, in alphabetical order of syllable, each line listing the GB2312
characters read with that syllable (a character with several readings stands
under each of them).

Source: the Unicode Character Database's Unihan readings (Unihan_Readings.txt
and Unihan_DictionaryLikeData.txt from Debian's unicode-data package, Unicode
licence, see data/pinyin_table.README). Readings are taken from kMandarin,
kXHC1983 and kTGHZ2013; tone marks are dropped and u with diaeresis is written
"v". Within a line the characters are ordered by how often they are read with
that syllable (kHanyuPinlu), then by kFrequency, then by GB2312 code.

Usage: make_pinyin_table.py [UNIHAN_FOLDER] [OUTPUT]
"""
import bz2
import os
import re
import sys
import unicodedata

SYLLABLES = """
a ai an ang ao
ba bai ban bang bao bei ben beng bi bia bian biao bie bin bing bo bu
ca cai can cang cao ce cen ceng cha chai chan chang chao che chen cheng chi chong chou chu chua chuai chuan chuang
chui chun chuo ci cong cou cu cuan cui cun cuo
da dai dan dang dao de dei deng di dia dian diao die ding diu dong dou du duan dui dun duo
e en er
fa fan fang fei fen feng fo fou fu
ga gai gan gang gao ge gei gen geng gong gou gu gua guai guan guang gui gun guo
ha hai han hang hao he hei hen heng hong hou hu hua huai huan huang hui hun huo
ji jia jian jiang jiao jie jin jing jiong jiu ju juan jue jun
ka kai kan kang kao ke kei ken keng kong kou ku kua kuai kuan kuang kui kun kuo
la lai lan lang lao le lei leng li lia lian liang liao lie lin ling liu lo long lou lu luan lue lun luo lv
m ma mai man mang mao me mei men meng mi mian miao mie min ming miu mo mou mu
n na nai nan nang nao ne nei nen neng ng ni nian niang niao nie nin ning niu nong nou nu nuan nue nuo nv nve
o ou
pa pai pan pang pao pei pen peng pi pian piao pie pin ping po pou pu
q qi qia qian qiang qiao qie qin qing qiong qiu qu quan que qun
ran rang rao re ren reng ri rong rou ru ruan rui run ruo
sa sai san sang sao se sen seng sha shai shan shang shao she shen sheng shi shou shu shua shuai shuan shuang shui
shun shuo shw si song sou su suan sui sun suo
ta tai tan tang tao te teng ti tian tiao tie ting tong tou tu tuan tui tun tuo
wa wai wan wang wei wen weng wo wu
xi xia xian xiang xiao xie xin xing xiong xiu xu xuan xue xun
ya yan yang yao ye yi yin ying yo yong you yu yuan yue yun
za zai zan zang zao ze zei zen zeng zha zhai zhan zhang zhao zhe zhen zheng zhi zhong zhou zhu zhua zhuai zhuan
zhuang zhui zhun zhuo zi zong zou zu zuan zui zun zuo
""".split()

# Readings written differently in the table: "ue" after l and n stands for
# the u with diaeresis, and "nve" is kept beside "nue".
ALSO = {"lve": ["lue"], "nve": ["nue", "nve"]}


def plain(reading):
    """A toned pinyin reading as plain letters, u with diaeresis as "v"."""
    text = unicodedata.normalize("NFD", reading.lower())
    text = text.replace("u\u0308", "v")
    return "".join(c for c in text if "a" <= c <= "z")


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode"
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), "..", "data", "pinyin_table.mb")
    assert len(SYLLABLES) == 411 and len(set(SYLLABLES)) == 411

    readings = {}  # char -> set of syllables
    pinlu = {}  # (char, syllable) -> count
    with bz2.open(os.path.join(folder, "Unihan_Readings.txt.bz2"), "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            code, field, value = line.rstrip("\n").split("\t")
            char = chr(int(code[2:], 16))
            if field in ("kMandarin", "kXHC1983", "kTGHZ2013"):
                for item in value.split():
                    for reading in item.split(":")[-1].split(","):
                        readings.setdefault(char, set()).add(plain(reading))
            elif field == "kHanyuPinlu":
                for m in re.finditer(r"(\S+)\((\d+)\)", value):
                    key = (char, plain(m.group(1)))
                    pinlu[key] = pinlu.get(key, 0) + int(m.group(2))
    frequency = {}
    with bz2.open(os.path.join(folder, "Unihan_DictionaryLikeData.txt.bz2"), "rt", encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3 and parts[1] == "kFrequency":
                frequency[chr(int(parts[0][2:], 16))] = int(parts[2])

    table = {s: [] for s in SYLLABLES}
    for char, syllables in readings.items():
        try:
            gb = char.encode("gb2312")
        except UnicodeEncodeError:
            continue
        for syllable in syllables:
            for target in ALSO.get(syllable, [syllable]):
                if target in table:
                    table[target].append((-pinlu.get((char, syllable), 0), frequency.get(char, 6), gb, char))

    lines = []
    for syllable in SYLLABLES:
        chars = "".join(item[3] for item in sorted(table[syllable]))
        lines.append("=" + syllable + "=" + chars)
    with open(output, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("gbk"))
    total = sum(len(table[s]) for s in SYLLABLES)
    empty = [s for s in SYLLABLES if not table[s]]
    print(f"{output}: {len(lines)} lines, {total} characters; without characters: {' '.join(empty)}")


if __name__ == "__main__":
    main()
