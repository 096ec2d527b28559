# Time against input size: called by bench/run.sh with data= and output= set.
set terminal pngcairo size 800,480 font "DejaVu Sans,10"
set output output
set title "Plain text log on the default 640x480 canvas"
set xlabel "input lines (10 to 120 characters each)"
set ylabel "wall time (ms)"
set logscale xy
set grid
set key top left
plot data using 1:2 with linespoints title "vedad", \
     data using 1:3 with linespoints title "floor: libgd drawing every row"
