-- description: Order lines with products and amounts
-- connection: Provider=SQLite;Data Source=sample.db
SELECT l.order_id, l.line_no, p.code, p.name AS product, l.quantity, l.unit_price, l.discount,
       o.order_date, o.shipped_at
FROM order_lines l
JOIN orders o ON o.id = l.order_id
JOIN products p ON p.id = l.product_id
ORDER BY l.order_id, l.line_no
