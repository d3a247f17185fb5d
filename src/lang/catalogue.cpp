// The statement catalogue: what the designer's palette, syntax help and
// parameter editor show for each display statement, and the box kind that
// says how the area a statement covers may be picked.
#include <stdexcept>

#include "app/text.h"
#include "lang/cmd.h"

namespace panelcraft {

namespace {

struct EntryRow {
  int boxKind;
  int category;
  const char* name;
  const char* syntax;
  const char* defaultStatement;
  const char* parameters;  // "name:kind:description" joined by "|"
  const char* remark;
};

// Category captions of slots 0..9.
constexpr const char* kCategoryCaptions[Tcmd::CaptionedCategories] = {
    "基本绘图指令", "汉字显示指令", "颜色相关指令", "图形与汉字叠加", "曲线相关指令",
    "菜单相关指令", "触摸相关指令", "win8相关指令", "表格相关指令",   "系统相关指令",
};

// The entries in the order they are added, which is also the order of the
// items within each palette category. PLAB's syntax line writes "PABL" and
// ICON's default statement ends with ";": both are kept as the display maker
// wrote them.
constexpr EntryRow kEntries[] = {
    {4, 1, "LABL", "显示标签:LABL(m,x1,y1,x2,str,c,ali);", "LABL(24,20,10,200,'24点阵汉字居中',15,1)",
     "m:int:字体号,可以是12,16,24,32,48,64 之间一种|x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右边界|str:str:要显示的字符串|c:c:颜色号|ali:int:=0 居左；=1居中；=2居右",
     "以m号字在(x1,y1)~(x2,y1+m) 这个方框内以c为前景绘制字符串,可设置居左,居右还是居中;背景色使用SBC语句指定"},
    {2, 1, "DS12", "显示12点阵:DS12(x1,y1,str,c,lx);", "DS12(0,0,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省", ""},
    {2, 1, "DS16", "显示16点阵:DS16(x1,y1,str,c,lx);", "DS16(0,0,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省", ""},
    {2, 1, "DS24", "显示24点阵:DS24(x1,y1,str,c,lx);", "DS24(0,0,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省", ""},
    {2, 1, "DS32", "显示32点阵:DS32(x1,y1,str,c,lx);", "DS32(0,0,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省", ""},
    {2, 1, "DS48", "显示48点阵:DS48(x1,y1,str,c,lx);", "DS48(0,0,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省", ""},
    {2, 1, "DS64", "显示64点阵:DS64(x1,y1,str,c,lx);", "DS64(0,0,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省", ""},
    {3, 0, "CLS", "清屏:CLS(c);", "CLS(0)", "c:c:颜色号", ""},
    {4, 1, "BS12", "12段落显示:BS12(x1,y1,x2,lw,str,c);", "BS12(0,0,219,4,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:段落右边结束X坐标|lw:int:行间距|str:str:要显示的字符串|c:c:颜色号", ""},
    {4, 1, "BS16", "16段落显示:BS16(x1,y1,x2,lw,str,c);", "BS16(0,0,219,4,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:段落右边结束X坐标|lw:int:行间距|str:str:要显示的字符串|c:c:颜色号", ""},
    {4, 1, "BS24", "24段落显示:BS24(x1,y1,x2,lw,str,c);", "BS24(0,0,219,4,'要显示的字符串',1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:段落右边结束X坐标|lw:int:行间距|str:str:要显示的字符串|c:c:颜色号", ""},
    {2, 3, "PIC", "显示图片:PIC(x1,y1,pn);", "PIC(0,0,1)", "x1:X:左上角x坐标|y1:Y:左上角y坐标|pn:pic:第几幅图片", ""},
    {1, 0, "BOX", "空心方框:BOX(x1,y1,x2,y2,c);", "BOX(0,0,100,100,1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右下角x坐标|y2:Y:右下角y坐标|c:c:颜色号", ""},
    {1, 0, "BOXF", "实心方框:BOXF(x1,y1,x2,y2,c);", "BOXF(0,0,100,100,1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右下角x坐标|y2:Y:右下角y坐标|c:c:颜色号", ""},
    {3, 0, "CIR", "画园:CIR(x1,y1,r,c);", "CIR(100,100,50,1)", "x1:X:圆心x坐标|y1:Y:圆心y坐标|r:int:半径|c:c:颜色号",
     ""},
    {3, 0, "CIRF", "画实心园:CIRF(x1,y1,r,c);", "CIRF(100,100,50,1)",
     "x1:X:圆心x坐标|y1:Y:圆心y坐标|r:int:半径|c:c:颜色号", ""},
    {3, 2, "SCC", "设置索引色:SCC(c,color);", "SCC(1,65535)", "c:c:颜色号|color:color:0~65535 64K颜色值", ""},
    {3, 2, "SBC", "设置背景色:SBC(c);", "SBC(1)", "c:c:颜色号", ""},
    {3, 0, "PS", "画点:PS(x1,y1,c);", "PS(0,0,1)", "x1:X:x坐标|y1:Y:y坐标|c:c:颜色号", ""},
    {3, 0, "PL", "画线:PL(x1,y1,x2,y2,c);", "PL(0,0,100,100,1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右下角x坐标|y2:Y:右下角y坐标|c:c:颜色号", ""},
    {2, 3, "ICON", "显示图标:ICON(x1,y1,pn,xn,yn,n);", "ICON(0,0,10,11,1,0);",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|pn:pic:第几幅图片|xn:int:这幅图片横向有几个图标|yn:int:这幅图片纵向有几个图标|n:int:显示第几个图标(编号先横后竖，从0开始依次编号)",
     ""},
    {2, 3, "BPIC", "显示背景图:BPIC(m,x1,y1,pn);", "BPIC(1,0,0,1)",
     "m:int:背景图序号，每个界面允许8个背景图，0~7|x1:X:左上角x坐标|y1:Y:左上角y坐标|pn:pic:第几幅图片", ""},
    {4, 3, "PLAB", "图片叠加标签:PABL(m,x1,y1,x2,str,c,ali,pn);", "PLAB(24,20,10,200,'24点阵汉字居中',15,1,1)",
     "m:int:字体号,可以是12,16,24,32,48,64 之间一种|x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右边界|str:str:要显示的字符串|c:c:颜色号|ali:int:=0 居左；=1居中；=2居右|pn:int:为 0~7 背景图编号，需要先用BPIC设置背景图才能叠加显示",
     "以m号字在(x1,y1)~(x2,y1+m) 这个方框内以c为前景,pn号背景图为背景绘制字符串,可设置居左,居右还是居中"},
    {2, 3, "PS16", "叠加16点阵:PS16(m,x1,y1,str,c,lx);", "PS16(1,0,0,'要显示的字符串',1)",
     "m:int:背景图序号，每个界面允许8个背景图，0~7|x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省",
     ""},
    {2, 3, "PS24", "叠加24点阵:PS24(m,x1,y1,str,c,lx);", "PS24(1,0,0,'要显示的字符串',1)",
     "m:int:背景图序号，每个界面允许8个背景图，0~7|x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省",
     ""},
    {2, 3, "PS32", "叠加32点阵:PS32(m,x1,y1,str,c,lx);", "PS32(1,0,0,'要显示的字符串',1)",
     "m:int:背景图序号，每个界面允许8个背景图，0~7|x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省",
     ""},
    {2, 3, "PS48", "叠加48点阵:PS48(m,x1,y1,str,c,lx);", "PS48(1,0,0,'要显示的字符串',1)",
     "m:int:背景图序号，每个界面允许8个背景图，0~7|x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省",
     ""},
    {2, 3, "PS64", "叠加64点阵:PS64(m,x1,y1,str,c,lx);", "PS64(1,0,0,'要显示的字符串',1)",
     "m:int:背景图序号，每个界面允许8个背景图，0~7|x1:X:左上角x坐标|y1:Y:左上角y坐标|str:str:要显示的字符串|c:c:颜色号|lx:X:限制的右边框X位置,可省",
     ""},
    {1, 0, "CBOX", "圆角空心方框:CBOX(x1,y1,x2,y2,r,c);", "CBOX(0,0,100,100,5,1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右下角x坐标|y2:Y:右下角y坐标|r:int:圆角半径|c:c:颜色号",
     "本语句是模拟显示"},
    {1, 0, "CBOF", "圆角实心方框:CBOF(x1,y1,x2,y2,r,c);", "CBOF(0,0,100,100,5,1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右下角x坐标|y2:Y:右下角y坐标|r:int:圆角半径|c:c:颜色号",
     "本语句是模拟显示"},
    {1, 7, "W8BF", "Win8方框:W8BF(x1,y1,x2,y2,cn);", "W8BF(0,0,100,100,1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右下角x坐标|y2:Y:右下角y坐标|cn:int:方案号(1~9)", ""},
    {5, 3, "CPIC", "切割图片显示:CPIC(x1,y1,pn,px1,py1,w,h);", "CPIC(0,0,1,100,100,80,80)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|pn:pic:第几幅图片|px1:int:图片切割原点X坐标|py1:int:图片切割原点Y坐标|w:int:切割区域宽度|h:int:切割区域高度",
     ""},
    {2, 4, "DQX", "曲线设置:DQX(x1,y1,xp,yn,xn,yp);", "DQX(0,0,10,10,10,10)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|xp:int:曲线横向每个格宽度|yn:int:曲线纵向有多少个格|xn:int:横向有多少格|yp:int:每个格子的高度",
     "【曲线为模拟显示】xn*xp 即为曲线控件的总宽度，总宽度不能超过400点（早期的版本时256点）；yp*yn是曲线控件的总高度，总高度不能超过255点；"},
    {3, 4, "RQX", "刷新曲线:RQX;", "RQX", "", ""},
    {3, 4, "Qn", "送数据:Qn;", "Q128", "",
     "n：曲线的数据点（0~255），其中128代表曲线的中线 ；Q0代表振幅最高，在最上面；Q128在中间，Q255代表振幅最低在最下面"},
    {3, 4, "Sn", "送数据且刷新:Sn;", "S128", "",
     "n：曲线的数据点（0~255），其中128代表曲线的中线 ；Q0代表振幅最高，在最上面；Q128在中间，Q255代表振幅最低在最下面"},
    {2, 5, "MENU", "菜单初始化:MENU(x1,y1,w,h,pw,ax1,ax2,hzm,yn,max,pg,go);", "MENU(20,0,180,30,24,10,50,16,8,7,127,1)",
     "x1:X:左上角x坐标|y1:Y:左上角y坐标|w:int:菜单的总宽|h:int:每行菜单的高|pw:int:图标的高度和宽度|ax1:int:图标距左边框的距离|ax2:int:菜单文字距左边框的距离|hzm:int:使用何等点阵显示汉字，只能是16、24、32汉字点数值|yn:int:预留|max:int:菜单项数|pg:int:存放菜单自相的批界面页号|go:int:预留，设置为1即可",
     ""},
    {3, 5, "MSHW", "刷新菜单显示:MSHW;", "MSHW", "", ""},
    {3, 5, "MSET", "选择菜单项:MSET(n);", "MSET(4)", "n:int:菜单项，第一项对应的编号为0", ""},
    {3, 5, "MDF", "定义菜单项:MDF(n,pn,str);", "MDF(1,18,'返回')",
     "n:int:菜单项，第一项对应的编号为0|pn:pic:菜单子项对应的图标图片号|str:str:菜单子项标题", ""},
    {3, 6, "TPST", "触摸屏校准:TPST(w,h);", "TPST(400,240)", "w:int:触摸屏X方向分辨率|h:int:触摸屏y方向分辨率",
     "此语句辅助设计无处理"},
    {3, 6, "TPN", "触摸屏模式:TPN(n);", "TPN(0)",
     "n:int:=0关闭触摸反馈；=1 反馈点阵坐标；=2反馈按钮热区编号；=3开启触摸反馈，但不反馈信息", "此语句辅助设计无处理"},
    {3, 6, "TPOW", "画笔测试:TPOW(c);", "TPOW(1)", "c:c:画笔颜色，=255表示关闭画笔", "此语句辅助设计无处理"},
    {1, 6, "BTN", "按钮热区:BTN(n,x1,y1,x2,y2,t,asc);", "BTN(1,10,10,110,110,3)",
     "n:int:区域编号 0~31 最多支持32个热点区域|x1:X:左上角x坐标|y1:Y:左上角y坐标|x2:X:右下角x坐标|y2:Y:右下角y坐标|t:int:显示类型;=0 无显示；=1细线方框；=2细线按钮 =3粗线方框 =4粗线按钮|asc:asc:按钮键码",
     ""},
    {3, 6, "TICN", "定义按钮图标:TICN(pn,xn,yn);", "TICN(11,10,10)",
     "pn:pic:按钮图标集对应的图片号|xn:int:图标集横向有几个图标|yn:int:图标集纵向有几个图标", ""},
    {2, 6, "BICN", "图标热区:BICN(n,x1,y1,n1,n2,asc);", "BICN(1,10,10,1,11)",
     "n:int:区域编号 0~31 最多支持32个热点区域|x1:X:左上角x坐标|y1:Y:左上角y坐标|n1:int:未按下时的图标序号|n2:int:按下时的图标序号|asc:asc:按钮键码",
     ""},
    {2, 6, "TSIN", "组态键盘显示:TSIN(hzm,x1,y1,limitX,long,t,c);", "TSIN(16,10,10,300,15,1,1)",
     "hzm:int:字符的显示大小，必须是16/24/32/48/64|x1:X:左上角x坐标|y1:Y:左上角y坐标|limitX:X:缓冲区的右侧X坐标|long:int:缓冲区的字符长度 最大15|t:int:输入模式 =0 关闭无输入；=1输入的是数字，只允许数字和一个小数点；=2输入的是字符串|c:c:显示颜色",
     ""},
    {2, 6, "PBTN", "切图热区:PBTN(n,x1,y1,w,h,bp1,bp2,asc);", "PBTN(1,10,10,80,80,1,2)",
     "n:int:区域编号 0~31 最多支持32个热点区域|x1:X:左上角x坐标|y1:Y:左上角y坐标|w:int:切图区域宽度|h:int:切图区域高度|bp1:int:未按下时，BPIC定义的背景图号|bp2:int:按下时，BPIC定义的背景图号|asc:asc:按钮键码",
     ""},
    {3, 9, "TERM", "进入终端模式:TERM;", "TERM", "", "无模拟显示"},
    {3, 9, "SPG", "显示批界面:SPG(n);", "SPG(1)", "n:int:批界面编号", "无模拟显示"},
    {3, 9, "DRn", "设置显示方向:DRn;", "DR0", "n:int:0~3对应4个方向", "无模拟显示"},
    {3, 9, "INF", "传出硬件参数:INF;", "INF", "", "无模拟显示"},
    {3, 9, "SNF", "显示硬件参数:SNF(x1,y1);", "SNF(0,0)", "x1:X:x坐标|y1:Y:y坐标", "无模拟显示"},
    {3, 9, "SXY", "显示偏移设置:SXY(x1,y1);", "SXY(160,120)", "x1:X:x坐标|y1:Y:y坐标", "无模拟显示"},
    {3, 9, "SEBL", "设置背光亮度:SEBL(n);", "SEBL(100)", "n:int:0 关背光   1-最暗  100最亮  设置后，断电保持不变",
     "无模拟显示"},
};

std::string Key(std::string_view name, std::string_view suffix) {
  std::string key(name);
  key += suffix;
  return key;
}

}  // namespace

Tcmd::Tcmd() { MakeInterpreter(); }

void Tcmd::BuildCatalogue() {
  for (int i = 0; i < CategorySlots; ++i) {
    categories_[i].Items.clear();
    categories_[i].Caption = i < CaptionedCategories ? Gbk(kCategoryCaptions[i]) : std::string();
  }
  for (const EntryRow& row : kEntries)
    AddEntry(row.boxKind, row.category, row.name, Gbk(row.syntax), Gbk(row.defaultStatement), Gbk(row.parameters),
             Gbk(row.remark));
  OriginX = 0;
  OriginY = 0;
}

void Tcmd::AddEntry(int boxKind, int category, std::string_view name, std::string_view syntax,
                    std::string_view defaultStatement, std::string_view parameters, std::string_view remark) {
  if (category < 0 || category >= CategorySlots) throw std::out_of_range("catalogue category out of range");
  const size_t colon = syntax.find(':');
  std::string caption = colon == std::string_view::npos ? std::string() : std::string(syntax.substr(0, colon + 1));
  caption += name;
  categories_[category].Items.push_back(std::move(caption));

  entries_.Put(Key(name, "#T"), std::to_string(boxKind));
  entries_.Put(Key(name, "#S"), syntax);
  entries_.Put(Key(name, "#D"), defaultStatement);
  entries_.Put(Key(name, "#BZ"), remark);
  entries_.Put(Key(name, "#P"), ReplaceAll(parameters, "|", "\r\n"));
}

int Tcmd::BoxKind(std::string_view name) const {
  // A box kind is stored as plain decimal digits; anything else counts as 0.
  const std::string text = entries_.Value(Key(name, "#T"));
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
  return IntOrZero(text);
}

std::string Tcmd::SyntaxLine(std::string_view name) const { return entries_.Value(Key(name, "#S")); }
std::string Tcmd::DefaultStatement(std::string_view name) const { return entries_.Value(Key(name, "#D")); }
std::string Tcmd::Remark(std::string_view name) const { return entries_.Value(Key(name, "#BZ")); }
std::string Tcmd::ParameterList(std::string_view name) const { return entries_.Value(Key(name, "#P")); }

std::vector<CatalogueParameter> Tcmd::Parameters(std::string_view name) const {
  std::vector<CatalogueParameter> result;
  for (const std::string& line : SplitLines(ParameterList(name))) {
    CatalogueParameter parameter;
    const size_t first = line.find(':');
    parameter.Name = line.substr(0, first);
    if (first != std::string::npos) {
      const size_t second = line.find(':', first + 1);
      parameter.Kind = line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
      if (second != std::string::npos) parameter.Description = line.substr(second + 1);
    }
    result.push_back(std::move(parameter));
  }
  return result;
}

std::string Tcmd::CategoryCaption(int i) const {
  return i >= 0 && i < CategorySlots ? categories_[i].Caption : std::string();
}

int Tcmd::CategoryCount(int i) const {
  return i >= 0 && i < CategorySlots ? static_cast<int>(categories_[i].Items.size()) : 0;
}

std::string Tcmd::CategoryItem(int i, int k) const {
  if (k < 0 || k >= CategoryCount(i)) return std::string();
  return categories_[i].Items[k];
}

int Tcmd::CategoryOf(std::string_view name) const {
  for (int i = 0; i < CategorySlots; ++i)
    for (const std::string& item : categories_[i].Items) {
      const size_t colon = item.find(':');
      if (std::string_view(item).substr(colon == std::string::npos ? 0 : colon + 1) == name) return i;
    }
  return -1;
}

}  // namespace panelcraft
