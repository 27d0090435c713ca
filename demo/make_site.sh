#!/usr/bin/env bash
# Remakes the sample paper the demo site serves: the article page (stored in GBK,
# as the paper site sends it), a home page and the page images 1.jpg to 12.jpg.
# Needs ImageMagick's convert, iconv and the WenQuanYi Zen Hei font.
# The output is committed; run this only to change the sample.
set -euo pipefail
cd "$(dirname "$0")"

title="苇川市2026届高三第一次模拟考试数学试卷"
book_id="8f3a2c61"
page_count=12
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
site=site

rm -rf "$site"
mkdir -p "$site/pages"

# The article page: the title between <title> and </title>, and the book id as
# the path segment after the first "/books/".
article() {
  cat <<HTML
<!DOCTYPE html>
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gbk">
<title>${title}</title>
</head>
<body>
<h1>${title}</h1>
<p>共 ${page_count} 页。点击图片查看大图。</p>
<div class="pages">
HTML
  for n in $(seq 1 "$page_count"); do
    echo "<a href=\"#p=${n}\"><img src=\"/books/${book_id}/${n}.jpg\" alt=\"第${n}页\" width=\"160\"></a>"
  done
  cat <<HTML
</div>
</body>
</html>
HTML
}
article | iconv -f UTF-8 -t GBK >"$site/article.html"

cat <<HTML | iconv -f UTF-8 -t GBK >"$site/index.html"
<!DOCTYPE html>
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gbk">
<title>苇川试卷 演示站点</title>
</head>
<body>
<p>这是 paperdl 自带的演示站点，只有一份试卷：</p>
<p><a href="/Index/article/aid/3927.html#p=1">${title}</a></p>
</body>
</html>
HTML

# A few lines of exam text per page, so each image looks like a scanned page.
lines=(
  "一、选择题：本题共8小题，每小题5分，共40分。"
  "1. 已知集合 A={x | x²-3x+2<0}，B={x | 1<x<3}，则 A∩B= ______"
  "2. 若复数 z 满足 (1+i)z = 2i，则 |z| = ______"
  "3. 函数 f(x)=sin(2x+π/3) 的最小正周期为 ______"
  "4. 已知向量 a=(1,2)，b=(m,-1)，若 a⊥b，则 m= ______"
)

for n in $(seq 1 "$page_count"); do
  args=(-size 827x1170 xc:white -font "$font" -fill black)
  args+=(-pointsize 30 -annotate +60+90 "$title")
  args+=(-pointsize 22 -annotate +60+140 "第 ${n} 页（共 ${page_count} 页）")
  y=240
  for line in "${lines[@]}"; do
    args+=(-pointsize 22 -annotate "+60+$y" "$line")
    y=$((y + 60))
  done
  args+=(-fill '#d0d0d0' -pointsize 360 -gravity center -annotate +0+160 "$n")
  convert "${args[@]}" -colorspace Gray -strip -quality 80 "$site/pages/${n}.jpg"
done

ls -l "$site" "$site/pages"
